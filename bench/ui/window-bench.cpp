// Times the main window on generated declaration files, from the command to the list filled and
// the window idle again: every category with an empty key on a file of a real declaration
// file's size, and loading and a category-1 search on a file of two million lines, with the
// longest time between two rounds of event processing. Usage: brackwin-window-bench [RUNS]

#include <QAbstractEventDispatcher>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "Form1Window.h"
#include "StandInServices.h"

namespace {

constexpr double kSmallSearchGoalMs = 16;
constexpr double kLargeLoadGoalMs = 1000;
constexpr double kLargeSearchGoalMs = 500;
constexpr double kGapGoalMs = 20;

// The longest time between two rounds of event processing while it is running: its
// one-millisecond timer is due in every round that comes later than that.
class GapMeter {
  public:
    GapMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Tick(); });
    }
    void Start() {
        longestNs_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    double StopMs() {
        Tick();
        timer_.stop();
        return static_cast<double>(longestNs_) / 1e6;
    }

  private:
    void Tick() {
        const qint64 now = clock_.nsecsElapsed();
        longestNs_ = std::max(longestNs_, now - last_);
        last_ = now;
    }

    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longestNs_ = 0;
};

struct Window {
    brackwin::Form1Window form;
    QAction* mnuAPIRead = nullptr;
    QLineEdit* Text1 = nullptr;
    QAbstractItemView* List1 = nullptr;
    std::vector<QRadioButton*> options;
};

QString MakeFile(const QTemporaryDir& dir, int lines) {
    const QString path = dir.filePath(QStringLiteral("%1.txt").arg(lines));
    if (QProcess::execute(QStringLiteral(BRACKWIN_MAKE_DECLARATIONS),
                          {QString::number(lines), path}) != 0) {
        std::fprintf(stderr, "cannot generate %s\n", qPrintable(path));
        std::exit(1);
    }
    return path;
}

void WaitIdle() {
    QCoreApplication::processEvents();
}

double LoadMs(Window& window, brackwin::StandInServices& services, const QString& path) {
    services.answers.enqueue(path);
    QElapsedTimer clock;
    clock.start();
    window.mnuAPIRead->trigger();
    WaitIdle();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

double SearchMs(Window& window, int category) {
    window.options[static_cast<std::size_t>(category - 1)]->setChecked(true);
    WaitIdle();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QElapsedTimer clock;
    clock.start();
    QApplication::sendEvent(window.Text1, &press);
    QApplication::sendEvent(window.Text1, &release);
    WaitIdle();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool Report(const char* what, double ms, double goalMs) {
    const bool met = ms <= goalMs;
    std::printf("%-44s %9.2f ms  (goal <= %.0f ms) %s\n", what, ms, goalMs, met ? "ok" : "MISSED");
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 21;

    QTemporaryDir dir;
    const QString small = MakeFile(dir, 16000);
    const QString large = MakeFile(dir, 2000000);

    brackwin::StandInServices services;
    brackwin::UserInterfaceServices::Install(&services);
    Window window;
    window.mnuAPIRead = window.form.findChild<QAction*>(QStringLiteral("mnuAPIRead"));
    window.Text1 = window.form.findChild<QLineEdit*>(QStringLiteral("Text1"));
    window.List1 = window.form.findChild<QAbstractItemView*>(QStringLiteral("List1"));
    for (const char* name : {"Option1", "Option2", "Option3"}) {
        window.options.push_back(window.form.findChild<QRadioButton*>(QString::fromLatin1(name)));
    }
    window.form.show();
    WaitIdle();

    bool met = true;
    std::printf("File of %d lines, %lld bytes; median of %d runs:\n", 16000,
                static_cast<long long>(QFileInfo(small).size()), runs);
    LoadMs(window, services, small);
    for (int category = 1; category <= 3; ++category) {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            times.push_back(SearchMs(window, category));
        }
        const QByteArray what = QStringLiteral("  search category %1, empty key (%2 entries)")
                                    .arg(category)
                                    .arg(window.List1->model()->rowCount())
                                    .toUtf8();
        met &= Report(what.constData(), Median(times), kSmallSearchGoalMs);
    }

    std::printf("File of %d lines, %lld bytes:\n", 2000000,
                static_cast<long long>(QFileInfo(large).size()));
    GapMeter gaps;
    gaps.Start();
    const double loadMs = LoadMs(window, services, large);
    const double loadGapMs = gaps.StopMs();
    met &= Report("  load", loadMs, kLargeLoadGoalMs);
    met &= Report("  longest time without events, load", loadGapMs, kGapGoalMs);
    gaps.Start();
    const double searchMs = SearchMs(window, 1);
    const double searchGapMs = gaps.StopMs();
    const QByteArray what = QStringLiteral("  search category 1, empty key (%1 entries)")
                                .arg(window.List1->model()->rowCount())
                                .toUtf8();
    met &= Report(what.constData(), searchMs, kLargeSearchGoalMs);
    met &= Report("  longest time without events, search", searchGapMs, kGapGoalMs);

    brackwin::UserInterfaceServices::Install(nullptr);
    return met ? 0 : 1;
}
