#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class AppSettings;
class QAbstractButton;
class CardSection;
class DocumentStore;
class MeasurementField;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class Stepper;
struct ReportDocument;

// The page setup sheet's content: page size and orientation, margins, column width, columns
// and their print order, what prints without data, the summary and column footer flags, PDF
// tagging and the expression language of the shown report, in seven cards below a header with
// "Close". It holds nothing of its own: every control shows the report as it is now and every
// change goes into it as an undo step (PageSetupEdits) and marks it changed. Showing values
// writes nothing.
class PageSetupView : public QWidget {
    Q_OBJECT

public:
    PageSetupView(DocumentStore *store, AppSettings &settings, std::function<void()> onClose,
                  QWidget *parent = nullptr);

    // The report shown and edited; the window hands over the active tab's.
    void setStore(DocumentStore *store);
    DocumentStore *store() const { return store_; }

protected:
    void changeEvent(QEvent *event) override;
    // The sheet opens anew: what its fields said of typing before is over.
    void showEvent(QShowEvent *event) override;

private:
    // Takes the messages under the length fields away.
    void clearMessages();
    // One length of the report, shown in the user's unit with a 100-point label column.
    MeasurementField *field(const QString &label, double ReportDocument::*length,
                            const QString &name, QWidget *parent);
    struct Length {
        QString label;
        double ReportDocument::*member;
        QString name;
    };
    // The length fields of a card, one below the other.
    void addLengths(CardSection *section, const QList<Length> &lengths);
    CardSection *card(const QString &title, const QString &name);
    CardSection *buildPageSize();
    CardSection *buildMargins();
    CardSection *buildContent();
    CardSection *buildColumns();
    CardSection *buildPagination();
    CardSection *buildAccessibility();
    CardSection *buildExpressions();
    // Makes `button` act on the lengths as typed: a click first commits a length typed and not
    // committed yet (as any button does, see HeldTyping), then runs `action` with the button's
    // checked state as the click left it.
    void actOnTyping(QAbstractButton *button, std::function<void(bool checked)> action);
    // Shows the report's values; writes nothing.
    void refresh();
    void refreshUnit();
    void paintFitWarning();

    QPointer<DocumentStore> store_;
    AppSettings &settings_;
    std::function<void()> onClose_;
    QScrollArea *scroll_ = nullptr;
    QMetaObject::Connection documentConnection_;
    QList<std::pair<MeasurementField *, double ReportDocument::*>> lengths_;
    // The width of the length fields' label column: 100, or the widest label in its font.
    int captionWidth_ = 0;
    QLabel *contentCaption_ = nullptr;
    // Shown while the columns and side margins do not fit the page's width.
    QLabel *fitWarning_ = nullptr;
    // Why Portrait or Landscape left the page as it was, until the report changes.
    QLabel *orientationWarning_ = nullptr;
    Stepper *columnCount_ = nullptr;
    QWidget *multiColumn_ = nullptr;
    QComboBox *printOrder_ = nullptr;
    QLabel *columnsCaption_ = nullptr;
    QComboBox *whenNoData_ = nullptr;
    QCheckBox *summaryNewPage_ = nullptr;
    QCheckBox *summaryWithHeaderAndFooter_ = nullptr;
    QCheckBox *floatColumnFooter_ = nullptr;
    QCheckBox *pdfTagged_ = nullptr;
    QWidget *tagLanguageRow_ = nullptr;
    QLineEdit *tagLanguage_ = nullptr;
    QComboBox *language_ = nullptr;
};
