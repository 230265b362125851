#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

// A sheet of the main window: a window-modal dialog shown while a flag of the workspace is true
// and hidden when it turns false. A sheet that edits the active report keeps its modality by
// hand (SheetModality), so that the window's Undo and Redo still reach the report under it. Escape
// is left to the key monitor, which closes the sheets; the dialog never closes itself on Escape.
// Closing the dialog in any other way reports the dismissal, which clears the flag.
class SheetDialog : public QDialog {
    Q_OBJECT

public:
    SheetDialog(QWidget *window, std::function<void()> onDismiss);

    // Opens or closes the sheet to match the flag.
    void setShown(bool shown);

    // One of the workspace's five sheets, which Escape typed in it closes (the key monitor
    // decides).
    void setIsWorkspaceSheet(bool isWorkspaceSheet) { isWorkspaceSheet_ = isWorkspaceSheet; }
    bool isWorkspaceSheet() const { return isWorkspaceSheet_; }
    // A sheet that edits the active tab's report and shows its changes as they happen (the data
    // panel, the page setup): Undo and Redo typed in it, in its text fields too, are the window's
    // Undo and Redo, which reach that report past the sheet as its buttons and menu items do.
    // Set before the first showing.
    void setEditsActiveReport(bool editsActiveReport);
    bool editsActiveReport() const { return editsActiveReport_; }
    // A sheet whose owner may keep it open (it asks the user first): closing it in any way but
    // by its flag only reports the dismissal, and the flag, when its owner clears it, closes it.
    void setClosesOnlyByFlag(bool closesOnlyByFlag) { closesOnlyByFlag_ = closesOnlyByFlag; }

protected:
    // For a sheet that builds a fresh view on each showing: `content` takes the previous one's
    // place in the sheet's layout, the sheet takes `size` and opens.
    void openWith(QWidget *content, const QSize &size);
    // Closes the sheet; its view leaves at once and is deleted later (the click that closed the
    // sheet may still be running in it).
    void closeAndDiscard();
    QWidget *content() const { return content_; }

    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void done(int result) override;

private:
    std::function<void()> onDismiss_;
    bool closingFromFlag_ = false;
    bool isWorkspaceSheet_ = false;
    bool editsActiveReport_ = false;
    bool closesOnlyByFlag_ = false;
    QPointer<QWidget> content_;
};
