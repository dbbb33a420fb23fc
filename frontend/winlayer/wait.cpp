// Waiting for a started program with the windows alive: they repaint,
// while what a person types or clicks is dropped and commands are refused.
#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include "frontend/winlayer/qtbridge.hpp"

namespace winlayer::detail {

namespace {

int& busyCount() {
  static int n = 0;
  return n;
}

// Drops what a person types or clicks, and keeps windows from closing,
// while a program is waited for.  Painting and timers go on.
class InputBlocker : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::Wheel:
      case QEvent::Close: return true;
      default: return QObject::eventFilter(watched, e);
    }
  }
};

}  // namespace

bool busy() { return busyCount() > 0; }

void waitWithWindows(const std::string& program, const std::function<bool()>& ended) {
  if (ended()) return;
  if (!QCoreApplication::instance()) {
    while (!ended()) QThread::msleep(20);
    return;
  }
  InputBlocker blocker;
  qApp->installEventFilter(&blocker);
  ++busyCount();
  auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
  if (frame) frame->SetMessageText(("Running " + program + " ...").c_str());
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (ended()) loop.quit();
  });
  poll.start(20);
  loop.exec();
  --busyCount();
  qApp->removeEventFilter(&blocker);
  if (frame && frame->HasWindow()) frame->SetMessageText(WndAccess::frame(*frame).idleText);
}

// The programs started without waiting are looked at every 100 ms while any
// runs: their consoles are passed on and their ends reported, though not
// while a program is waited for (a report may be a message box, which needs
// the input that the wait drops).
void watchStartedPrograms() {
  static QPointer<QTimer> timer;
  if (!QCoreApplication::instance()) return;
  if (!timer) {
    timer = new QTimer(qApp);
    timer->setInterval(100);
    QObject::connect(timer, &QTimer::timeout, [] {
      if (busy()) {
        RunningPrograms();  // passes their consoles on, keeps their ends
        return;
      }
      if (!DeliverEndedPrograms() && timer) timer->stop();
    });
  }
  timer->start();
}

}  // namespace winlayer::detail
