package com.quillmark.sidecar;

import net.sf.jasperreports.engine.JRDefaultScriptlet;
import net.sf.jasperreports.engine.JRScriptletException;

import java.util.concurrent.atomic.AtomicReference;

/**
 * Attached to the one-record report that {@link ExpressionEvaluator} builds: once the record's
 * variables are calculated, it hands the value of the expression's variable to the evaluator
 * through a holder passed in as a parameter.
 */
public class EvaluationScriptlet extends JRDefaultScriptlet {

    @Override
    @SuppressWarnings("unchecked")
    public void afterDetailEval() throws JRScriptletException {
        Object holder = getParameterValue(ExpressionEvaluator.RESULT_PARAMETER);
        ((AtomicReference<Object>) holder)
                .set(getVariableValue(ExpressionEvaluator.VALUE_VARIABLE));
    }
}
