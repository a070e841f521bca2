#pragma once

#include <QWidget>

// The picture shown over the frame while the program starts. It goes after a moment, or at once on the
// first key or click anywhere in the program; that key or click does nothing else.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int DefaultDuration = 1600;
    static constexpr int PictureWidth = 520;
    static constexpr int PictureHeight = 317;

    explicit SplashWindow(int durationMs = DefaultDuration);
    ~SplashWindow() override;

    // Shows a splash centred over the frame once per run (later calls do nothing and return null). The
    // window deletes itself when it goes.
    static SplashWindow* showOver(QWidget* frame);

    // Shows this window centred over the frame (or the screen when there is none) and starts its timer.
    void showCentredOver(QWidget* frame);
    // Hides the window and lets it delete itself.
    void dismiss();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_duration;
    bool m_dismissed = false;
};
