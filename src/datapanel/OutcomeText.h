#pragma once

#include <QLabel>
#include <optional>

// The outcome line of a connection test or of a pasted URL: caption-2 text in green for a
// success and red for a failure, wrapping within the width it is given. It is hidden while
// there is no outcome, and keeps its colour when the appearance switches between light and dark.
class OutcomeText : public QLabel {
    Q_OBJECT

public:
    explicit OutcomeText(QWidget *parent = nullptr);

    // Shows the text (hidden for no value); `isSuccess` picks green over red.
    void showOutcome(const std::optional<QString> &text, bool isSuccess);
    bool isSuccess() const { return success_; }

    // Whether a connection test's outcome text is a success: the engine's failures begin with
    // "Failed".
    static bool isTestSuccess(const std::optional<QString> &text);

    // The colours of the two outcomes, readable on the palette's window colour.
    static QColor successColor(const QPalette &palette);
    static QColor failureColor(const QPalette &palette);

protected:
    void changeEvent(QEvent *event) override;

private:
    void paintColour();

    bool success_ = false;
    bool painting_ = false;
};
