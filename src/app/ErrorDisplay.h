#pragma once

#include <QWidget>

struct ReportDocument;

// The panel that shows an engine error: the friendly explanation with the raw text folded away
// under "Technical Details", or the raw text alone in red, monospaced, when there is no
// explanation for it. Both texts can be selected and copied.
class ErrorDisplay : public QWidget {
    Q_OBJECT

public:
    // `report`, when given, is the report the error is about (FriendlyErrorTranslator).
    explicit ErrorDisplay(const QString &rawError, QWidget *parent = nullptr,
                          const ReportDocument *report = nullptr);
};
