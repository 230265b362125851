#pragma once

#include <QList>
#include <QScrollArea>
#include <QString>

class AppSettings;
class CardSection;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class SettingsAboutCard;
class Stepper;
class UpdateChecker;
struct VersionInfo;

// The preferences window's content: six cards whose controls read and write the application's
// settings directly (each change is stored at once), in a 460 × 480 area that scrolls vertically.
class SettingsView : public QScrollArea {
    Q_OBJECT

public:
    struct PageSizePreset {
        QString name;
        double width;
        double height;
    };
    static const QList<PageSizePreset> &pageSizePresets();
    inline static const QString customPageSize = QStringLiteral("Custom");
    // The preset whose size equals the given one exactly, else "Custom".
    static QString pageSizeSelection(double width, double height);
    // "A4 (595×842)".
    static QString pageSizeLabel(const PageSizePreset &preset);

    // `settings` and `checker` must outlive the view.
    SettingsView(AppSettings &settings, UpdateChecker &checker, const VersionInfo &version,
                 QWidget *parent = nullptr);

    SettingsAboutCard *aboutCard() const { return about_; }

private:
    CardSection *appearanceCard();
    CardSection *measurementCard();
    CardSection *canvasCard();
    CardSection *documentDefaultsCard();
    CardSection *textFieldsCard();
    // A row: a caption in a column of fixed width, then the control.
    QWidget *captionedRow(const QString &caption, int captionWidth, QWidget *control);
    // A width or height field: whole points; a value of zero or less is refused.
    QLineEdit *pageLengthField(const QString &name, double (AppSettings::*read)() const,
                               void (AppSettings::*write)(double));
    void syncFromSettings();

    AppSettings &settings_;
    QButtonGroup *theme_ = nullptr;
    QComboBox *unit_ = nullptr;
    QCheckBox *snap_ = nullptr;
    Stepper *grid_ = nullptr;
    QComboBox *pageSize_ = nullptr;
    QLineEdit *pageWidth_ = nullptr;
    QLineEdit *pageHeight_ = nullptr;
    QLineEdit *fontName_ = nullptr;
    Stepper *fontSize_ = nullptr;
    QCheckBox *blankWhenNull_ = nullptr;
    SettingsAboutCard *about_ = nullptr;
};
