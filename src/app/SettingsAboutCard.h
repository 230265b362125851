#pragma once

#include "widgets/CardSection.h"

#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;
class UpdateChecker;
struct VersionInfo;

// The preferences window's "About" card: the version, the manual update check with its outcome,
// and the open-source components the report engine uses.
class SettingsAboutCard : public CardSection {
    Q_OBJECT

public:
    // "1.4 (27)"; "0.0" stands in for a missing version, and the build is left out when missing.
    static QString appVersion(const VersionInfo &version);

    // `checker` must outlive the card.
    SettingsAboutCard(UpdateChecker &checker, const VersionInfo &version,
                      QWidget *parent = nullptr);

    bool isChecking() const { return isChecking_; }
    std::optional<QString> resultMessage() const { return resultMessage_; }
    QPushButton *updateButton() const { return updateButton_; }
    QToolButton *componentsDisclosure() const { return disclosure_; }
    QWidget *components() const { return components_; }

    // What the "Check for Updates…" button runs.
    void checkForUpdatesNow();

private:
    QWidget *componentList();
    void refresh();

    UpdateChecker &checker_;
    bool isChecking_ = false;
    std::optional<QString> resultMessage_;
    QPushButton *updateButton_;
    QProgressBar *spinner_;
    QLabel *message_;
    QToolButton *disclosure_;
    QWidget *components_;
};
