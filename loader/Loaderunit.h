// The loader's window: a thin bar without border, always on top, over the
// window that was in front when the loader started, with the progress text
// drawn over the progress bar.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LoaderProgram.h"

class TForm1 : public QWidget, public TLoaderUi {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    TLoaderProgram Program;
    QLabel* Label1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    // The top-level window to cover (an X11 window id); 0 when none is known.
    uint32_t CoverWindow = 0;

    // Every box of the program goes through here; tests set it to answer the
    // boxes themselves (the result is the Yes of a question).
    using TBoxHook = std::function<bool(const std::string& text, const std::string& caption, TMsgIcon icon,
                                        bool question)>;
    static TBoxHook BoxHook;
    // Tests set this to reach the board through a link of their own.
    std::function<std::unique_ptr<TLoaderLink>()> LinkFactory;

    // Window search, command-line checks and file loading.
    void FormCreate(const std::vector<std::string>& args);
    // The exit code of the program once the window has closed.
    int ExitCode() const;

    // TLoaderUi
    void ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void PlaceBar() override;
    void LabelOverBar(bool over) override;
    void ShowProgress(int64_t position, int64_t maximum, const std::string& label,
                      const std::string& title) override;
    void ProcessMessages() override;
    int WindowWidth() const override { return width(); }
    int LabelFontSize() const override;

public slots:
    // Unless the command line failed: shows the bar and downloads; then closes.
    void FormActivate();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<TLoaderLink> Link;
    bool Activated = false;

    void FormKeyDown(int key);
    void FormDestroy();
    bool Box(const std::string& text, const std::string& caption, TMsgIcon icon, bool question);
    // The window search: the first top-level window from the top of the
    // stacking order that is shown, not minimised, not always on top and
    // lies on the screen.
    void FindCoverWindow();
};
