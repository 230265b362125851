#pragma once

#include <QMainWindow>
#include <functional>

class ContentView;

// The main window, titled "Quillmark", holding the content view. Closing it asks the
// application whether to quit; a refused quit keeps the window open.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(ContentView *content, QWidget *parent = nullptr);

    ContentView *content() const { return content_; }
    // Answers whether the window may close (and the application quit).
    void setShouldClose(std::function<bool()> ask) { shouldClose_ = std::move(ask); }

signals:
    // Once, when the window is shown for the first time.
    void firstShown();
    // Once, when the window's content has been painted for the first time.
    void firstPainted();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ContentView *content_;
    std::function<bool()> shouldClose_;
    bool shown_ = false;
    bool painted_ = false;
};
