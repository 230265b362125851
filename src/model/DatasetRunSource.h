#pragma once

#include "KeptXml.h"

#include <QString>
#include <optional>

// The data source expression of a list's or table's dataset run. The model holds the run's
// connection expression; a data source expression the file gave is kept with the run's other
// content. The engine takes one of the two: a connection written beside a kept data source
// replaces it.
namespace DatasetRunSource {

// The kept data source expression's text, or none when the run has none.
std::optional<QString> dataSourceExpression(const KeptXml &run);
// The run without its data source expression.
void removeDataSourceExpression(KeptXml &run);

} // namespace DatasetRunSource
