// Times the main window on generated declaration files, from the command to the list filled and
// the window idle again: every category with an empty key on a file of a real declaration
// file's size, and loading and a category-1 search on a file of two million lines, with the
// longest time between two rounds of event processing. Then the actions that never yield on
// huge entries: adding type blocks of 200,000 and 3,800,000 lines and previewing and adding a
// 100 MB line, against a plain copy of the same bytes, with the memory an add takes; and the
// key box's events after pastes of 3 MB and 30 MB. Usage: brackwin-window-bench [RUNS]

#include <QAbstractEventDispatcher>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "Form1Window.h"
#include "KeyBox.h"
#include "Platform.h"
#include "StandInServices.h"

namespace {

constexpr double kSmallSearchGoalMs = 16;
constexpr double kLargeLoadGoalMs = 1000;
constexpr double kLargeSearchGoalMs = 500;
constexpr double kGapGoalMs = 20;
// Preview and add never let events run, so each must be over before a user sees a freeze.
constexpr double kActionGoalMs = 100;
constexpr double kLongBlockGoalMs = 2000;
constexpr double kKeyBoxEventGoalMs = 50;
constexpr double kMemoryGoalTimesBlock = 2;
constexpr int kBlockLines = 200000;
constexpr int kLongBlockLines = 3800000;
constexpr qsizetype kLongLineBytes = 100'000'000;
constexpr qsizetype kPastedBytes = 3'000'000;
constexpr qsizetype kLongPastedBytes = 30'000'000;

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
    brackwin::KeyBox* Text1 = nullptr;
    QAbstractItemView* List1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command4 = nullptr;
    std::vector<QRadioButton*> options;
};

// A file with two long type blocks and one long line; block, longBlock, line and whole get their
// texts.
QString MakeHugeEntriesFile(const QTemporaryDir& dir, QByteArray& block, QByteArray& longBlock,
                            QByteArray& line, QByteArray& whole) {
    const auto blockOf = [](const char* name, int members) {
        QByteArray text = QByteArray("Type ") + name;
        for (int i = 0; i < members - 2; ++i) {
            text += "\r\n    Member" + QByteArray::number(i) + " As Long";
        }
        return text + "\r\nEnd Type";
    };
    block = blockOf("BLOCK_SHORT", kBlockLines);
    longBlock = blockOf("BLOCK_LONG", kLongBlockLines);
    line = "Public Const BIG = " + QByteArray(kLongLineBytes, 'A');
    whole = "' header\r\n" + block + "\r\n" + longBlock + "\r\n" + line + "\r\n' trailer\r\n";
    const QString path = dir.filePath(QStringLiteral("huge.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(whole) != whole.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    return path;
}

// The process's resident memory, and its peak since the last ResetPeakMemory, in bytes.
long long MemoryBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    long long kb = 0;
    while (status >> name) {
        if (name == field && status >> kb) {
            return kb * 1024;
        }
    }
    return 0;
}

void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The best time of copying bytes into a new string: what any add must do at least.
double CopyMs(const QByteArray& bytes) {
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer clock;
        clock.start();
        const std::string copy(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        best = run == 0 || ms < best ? ms : best;
        if (copy.empty()) {
            std::exit(1);
        }
    }
    return best;
}

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

// Selects a row as a click does, which previews it; returns the time until the window is idle.
double ClickRowMs(Window& window, int row) {
    const QRect rect = window.List1->visualRect(window.List1->model()->index(row, 0));
    QMouseEvent press(QEvent::MouseButtonPress, rect.center(),
                      window.List1->viewport()->mapToGlobal(rect.center()), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, rect.center(),
                        window.List1->viewport()->mapToGlobal(rect.center()), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QElapsedTimer clock;
    clock.start();
    QApplication::sendEvent(window.List1->viewport(), &press);
    QApplication::sendEvent(window.List1->viewport(), &release);
    WaitIdle();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

struct AddCost {
    double ms;
    long long peakBytes;
};

// Adds the selected entry to an empty output area, until the window is idle again.
AddCost AddMs(Window& window) {
    window.Command2->click();
    WaitIdle();
    const long long before = MemoryBytes("VmRSS:");
    ResetPeakMemory();
    QElapsedTimer clock;
    clock.start();
    window.Command4->click();
    WaitIdle();
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    return {ms, MemoryBytes("VmHWM:") - before};
}

// The time of one event in the key box: a key, if any, and a repaint, as each blink of its
// cursor asks for.
double KeyBoxEventMs(brackwin::KeyBox* keyBox, int key, const QString& text,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QElapsedTimer clock;
    clock.start();
    if (key != 0) {
        QApplication::sendEvent(keyBox, &press);
        QApplication::sendEvent(keyBox, &release);
    }
    keyBox->repaint();
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

// The best time of one plain byte search through the whole text, for a pattern it does not
// hold: what finding a type's blocks costs at least, as every line may open one.
double SearchMs(const QByteArray& text, const QByteArray& pattern) {
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer clock;
        clock.start();
        const char* found =
            brackwin::FindBytes({text.constData(), static_cast<std::size_t>(text.size())},
                                {pattern.constData(), static_cast<std::size_t>(pattern.size())});
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        best = run == 0 || ms < best ? ms : best;
        if (found != nullptr) {
            std::exit(1);
        }
    }
    return best;
}

// An action's time as a multiple of a reference measured here, with its goal in milliseconds.
bool ReportAgainst(const char* what, double ms, double referenceMs, const char* reference,
                   double goalMs) {
    const bool met = ms <= goalMs;
    std::printf("%-44s %9.2f ms  %7.2fx %s  (goal <= %.0f ms) %s\n", what, ms,
                ms / std::max(referenceMs, 0.001), reference, goalMs, met ? "ok" : "MISSED");
    return met;
}

bool ReportMemory(const char* what, long long bytes, qsizetype blockBytes) {
    const double times = static_cast<double>(bytes) / static_cast<double>(blockBytes);
    const bool met = times <= kMemoryGoalTimesBlock;
    std::printf("%-44s %9.2fx the block  (goal <= %.0fx) %s\n", what, times, kMemoryGoalTimesBlock,
                met ? "ok" : "MISSED");
    return met;
}

// Adding type blocks and a long line, and previewing the line, against plain copies of the same
// bytes measured here.
bool HugeEntries(Window& window, brackwin::StandInServices& services, const QTemporaryDir& dir) {
    QByteArray block;
    QByteArray longBlock;
    QByteArray line;
    QByteArray whole;
    const QString path = MakeHugeEntriesFile(dir, block, longBlock, line, whole);
    std::printf("Huge entries (blocks of %d and %d lines, a line of %lld bytes):\n", kBlockLines,
                kLongBlockLines, static_cast<long long>(line.size()));
    LoadMs(window, services, path);
    bool met = true;

    SearchMs(window, 3);
    // The list sorts "Type BLOCK_LONG" before "Type BLOCK_SHORT".
    ClickRowMs(window, 1);
    const AddCost blockAdd = AddMs(window);
    // A type's add searches the whole text once and copies its block.
    const char* const searchAndCopy = "search+copy";
    const double searchMs = SearchMs(whole, "Type BLOCK_SHORT\x01");
    met &= ReportAgainst("  add a type block of 200,000 lines", blockAdd.ms,
                         searchMs + CopyMs(block), searchAndCopy, kActionGoalMs);
    met &= ReportMemory("  memory of that add", blockAdd.peakBytes, block.size());
    ClickRowMs(window, 0);
    const AddCost longBlockAdd = AddMs(window);
    met &= ReportAgainst("  add a type block of 3,800,000 lines", longBlockAdd.ms,
                         searchMs + CopyMs(longBlock), searchAndCopy, kLongBlockGoalMs);
    met &= ReportMemory("  memory of that add", longBlockAdd.peakBytes, longBlock.size());
    std::printf("  %-42s %9.2fx the lines' ratio %.1fx\n", "time ratio of the two blocks",
                longBlockAdd.ms / std::max(blockAdd.ms, 0.001),
                static_cast<double>(kLongBlockLines) / kBlockLines);

    SearchMs(window, 1);
    const double lineCopyMs = CopyMs(line);
    met &= ReportAgainst("  preview a line of 100 MB", ClickRowMs(window, 0), lineCopyMs, "copy",
                         kActionGoalMs);
    const AddCost lineAdd = AddMs(window);
    met &= ReportAgainst("  add a line of 100 MB", lineAdd.ms, lineCopyMs, "copy", kActionGoalMs);
    met &= ReportMemory("  memory of that add", lineAdd.peakBytes, line.size());
    window.Command2->click();
    WaitIdle();
    return met;
}

// A long text pasted into the key box, then the events that follow: the cursor's blinks, typed
// characters, a cursor movement and the same paste into the text, against one plain copy of the
// pasted text's bytes.
bool PastedKey(Window& window, qsizetype characters) {
    const QString pasted(characters, QLatin1Char('k'));
    QGuiApplication::clipboard()->setText(pasted);
    window.Text1->clear();
    window.Text1->setFocus();
    WaitIdle();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QElapsedTimer clock;
    clock.start();
    QApplication::sendEvent(window.Text1, &press);
    WaitIdle();
    const double pasteMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const double copyMs = CopyMs(QByteArray::fromRawData(
        reinterpret_cast<const char*>(pasted.constData()), pasted.size() * 2));
    std::printf("Key box with %lld pasted characters (copy of their %lld bytes: %.2f ms):\n",
                static_cast<long long>(pasted.size()), static_cast<long long>(pasted.size() * 2),
                copyMs);
    bool met = ReportAgainst("  paste", pasteMs, copyMs, "copy", kKeyBoxEventGoalMs);
    std::vector<double> blinks;
    for (int run = 0; run < 5; ++run) {
        blinks.push_back(KeyBoxEventMs(window.Text1, 0, {}));
    }
    met &= ReportAgainst("  repaint (each cursor blink)", Median(blinks), copyMs, "copy",
                         kKeyBoxEventGoalMs);
    met &= ReportAgainst("  type a character",
                         KeyBoxEventMs(window.Text1, Qt::Key_X, QStringLiteral("x")), copyMs,
                         "copy", kKeyBoxEventGoalMs);
    met &= ReportAgainst("  type another character",
                         KeyBoxEventMs(window.Text1, Qt::Key_Y, QStringLiteral("y")), copyMs,
                         "copy", kKeyBoxEventGoalMs);
    met &= ReportAgainst("  move the cursor", KeyBoxEventMs(window.Text1, Qt::Key_Home, {}), copyMs,
                         "copy", kKeyBoxEventGoalMs);
    met &= ReportAgainst("  type a character at the start",
                         KeyBoxEventMs(window.Text1, Qt::Key_Z, QStringLiteral("z")), copyMs,
                         "copy", kKeyBoxEventGoalMs);
    met &= ReportAgainst("  paste again, into the text",
                         KeyBoxEventMs(window.Text1, Qt::Key_V, {}, Qt::ControlModifier), copyMs,
                         "copy", kKeyBoxEventGoalMs);
    if (window.Text1->text().size() != 2 * pasted.size() + 3) {
        std::printf("  the key box lost text\n");
        met = false;
    }
    window.Text1->clear();
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
    window.Text1 = window.form.findChild<brackwin::KeyBox*>(QStringLiteral("Text1"));
    window.List1 = window.form.findChild<QAbstractItemView*>(QStringLiteral("List1"));
    window.Command2 = window.form.findChild<QPushButton*>(QStringLiteral("Command2"));
    window.Command4 = window.form.findChild<QPushButton*>(QStringLiteral("Command4"));
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

    met &= HugeEntries(window, services, dir);
    met &= PastedKey(window, kPastedBytes);
    met &= PastedKey(window, kLongPastedBytes);

    brackwin::UserInterfaceServices::Install(nullptr);
    return met ? 0 : 1;
}
