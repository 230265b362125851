#pragma once

#include <QObject>
#include <QPointer>

class DataPanelView;
class QPushButton;
class QString;
class QWidget;
class SheetDialog;

// A button of a sheet over the panel, named "<sheet>.<part>" for tests; only the button a sheet
// makes its default answers Return.
QPushButton *sheetButton(const QString &title, const QString &sheet, const QString &part,
                         QWidget *parent);

// A sheet shown over the data panel while a flag that the panel owns is on (the Generate
// Columns sheet, the connection editor). Its dialog is made, with its content, on first showing
// and kept while the panel lives; it belongs to the panel's window, which may outlive the panel,
// so it goes with this object. Any dismissal of the dialog turns the flag off.
class PanelInnerSheet : public QObject {
    Q_OBJECT

public:
    ~PanelInnerSheet() override;

    // Null until the sheet is first shown.
    SheetDialog *dialog() const;

protected:
    explicit PanelInnerSheet(DataPanelView *panel);

    // Opens the sheet (making it on first showing) or closes it, to match the flag.
    void setShown(bool shown);
    DataPanelView *panel() const { return panel_; }

    // The content of the new dialog, laid out edge to edge.
    virtual QWidget *makeContent(SheetDialog *dialog) = 0;
    // Turns the flag off.
    virtual void dismissed() = 0;
    // Called each time before the sheet opens.
    virtual void showing() {}

private:
    DataPanelView *panel_;
    QPointer<SheetDialog> dialog_;
};
