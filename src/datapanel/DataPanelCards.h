#pragma once

#include <QString>
#include <array>

// The ten cards of the data panel's right-hand column, top to bottom.
enum class DataPanelCard {
    connections,
    subDatasets,
    parameters,
    fields,
    sortFields,
    scriptlets,
    reportTemplates,
    variables,
    groups,
    styles,
};

// What each card shows around its content, decided without widgets.
namespace DataPanelCards {

inline constexpr std::array<DataPanelCard, 10> order = {
    DataPanelCard::connections,     DataPanelCard::subDatasets, DataPanelCard::parameters,
    DataPanelCard::fields,          DataPanelCard::sortFields,  DataPanelCard::scriptlets,
    DataPanelCard::reportTemplates, DataPanelCard::variables,   DataPanelCard::groups,
    DataPanelCard::styles};

QString title(DataPanelCard card);
QString subtitle(DataPanelCard card);
// The object name of the card ("datapanel.sortFields"); its controls' names start with it.
QString objectName(DataPanelCard card);

} // namespace DataPanelCards
