#include "Form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <exception>
#include <limits>
#include <utility>

#include "APISearch.h"
#include "AppIdentity.h"
#include "Collection.h"
#include "ResultListModel.h"
#include "Twips.h"
#include "UserInterfaceServices.h"
#include "Utf8Text.h"
#include "WidgetSetup.h"
#include "clsFileLineRead.h"
#include "clsSystemFolder.h"
#include "frmAbout.h"
#include "modFindFile.h"

namespace brackwin {

namespace {

constexpr int kClientWidth = 6615;
constexpr int kClientHeight = 7875;

// The load's menu item and its open dialog share this text.
const QString kLoadTitle = QStringLiteral("APIファイルの読み込み");
const QString kFileFilter = QStringLiteral("APIファイル (*.txt)");

class ServicesClipboard final : public Clipboard {
  public:
    void Clear() override { UserInterfaceServices::Current().ClearClipboard(); }
    bool SetText(std::string_view text) override {
        return UserInterfaceServices::Current().SetClipboardText(FromUtf8(text));
    }
};

class ServicesMessageDialog final : public MessageDialog {
  public:
    explicit ServicesMessageDialog(QWidget* parent) : parent_(parent) {}
    void Show(std::string_view text, std::string_view caption) override {
        UserInterfaceServices::Current().ShowMessage(parent_, FromUtf8(text), FromUtf8(caption));
    }

  private:
    QWidget* parent_;
};

// The busy pointer for as long as a file is read or searched, also when that ends in an error.
class BusyPointer {
  public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace

Form1::Form1(QWidget* parent)
    : QMainWindow(parent),
      results_(new ResultListModel(this)),
      yield_([this] {
          results_->Commit();
          QCoreApplication::processEvents();
      }) {
    setWindowTitle(FromUtf8(kAppTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/brackwin-32.png")));

    mnuFile = Named(menuBar()->addMenu(QStringLiteral("ファイル")), "mnuFile");
    mnuAPIRead = Named(mnuFile->addAction(kLoadTitle), "mnuAPIRead");
    connect(mnuAPIRead, &QAction::triggered, this, &Form1::mnuAPIRead_Click);
    mnuSep1 = Named(mnuFile->addSeparator(), "mnuSep1");
    mnuEnd = Named(mnuFile->addAction(QStringLiteral("終了")), "mnuEnd");
    connect(mnuEnd, &QAction::triggered, this, &Form1::mnuEnd_Click);
    mnuVersion = Named(menuBar()->addAction(QStringLiteral("Version")), "mnuVersion");
    connect(mnuVersion, &QAction::triggered, this, &Form1::mnuVersion_Click);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(TwipsToPixels(kClientWidth, client->logicalDpiX()),
                         TwipsToPixels(kClientHeight, client->logicalDpiY()));
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Text1 = Named(new QLineEdit(client), "Text1");
    PlaceInTwips(Text1, 360, 0, 5895, 375);
    Text1->setMaxLength(std::numeric_limits<int>::max());
    // Enter is seen here before the key box handles it as usual.
    Text1->installEventFilter(this);

    Command1 = Named(new QPushButton(QStringLiteral("サーチ"), client), "Command1");
    PlaceInTwips(Command1, 5280, 600, 855, 375);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);

    Command3 = Named(new QPushButton(QStringLiteral("コピー"), client), "Command3");
    PlaceInTwips(Command3, 5760, 4200, 855, 375);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);

    Command2 = Named(new QPushButton(QStringLiteral("クリア"), client), "Command2");
    PlaceInTwips(Command2, 5760, 4560, 855, 375);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);

    Option1 = Named(new QRadioButton(QStringLiteral("定数"), client), "Option1");
    PlaceInTwips(Option1, 360, 720, 1455, 255);
    Option1->setChecked(true);
    Option2 = Named(new QRadioButton(QStringLiteral("関数"), client), "Option2");
    PlaceInTwips(Option2, 2040, 720, 1455, 255);
    Option3 = Named(new QRadioButton(QStringLiteral("型"), client), "Option3");
    PlaceInTwips(Option3, 3720, 720, 1455, 255);

    List1 = Named(new QListView(client), "List1");
    PlaceInTwips(List1, 0, 1080, 6615, 2760);
    List1->setModel(results_);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setUniformItemSizes(true);
    // Laid out a batch at a time between events, so a list of hundreds of thousands of entries
    // never holds the window up.
    List1->setLayoutMode(QListView::Batched);
    List1->setBatchSize(2000);
    connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &Form1::List1_Click);
    connect(List1, &QListView::doubleClicked, this, &Form1::List1_DblClick);

    Text2 = Named(new QPlainTextEdit(client), "Text2");
    PlaceInTwips(Text2, 0, 5040, 6615, 2775);
    Text2->setReadOnly(true);
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Label1 = Named(new QLabel(client), "Label1");
    PlaceInTwips(Label1, 120, 3960, 5535, 975);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setAutoFillBackground(true);
    QPalette labelColours = Label1->palette();
    labelColours.setColor(QPalette::Window,
                          QApplication::palette("QMenuBar").color(QPalette::Window));
    labelColours.setColor(QPalette::WindowText,
                          QApplication::palette().color(QPalette::WindowText));
    Label1->setPalette(labelColours);

    Command4 = Named(new QPushButton(QStringLiteral("追加"), client), "Command4");
    PlaceInTwips(Command4, 5760, 3840, 855, 375);
    Command4->setEnabled(false);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);

    SetTabOrder(
        {Text1, Command1, Command3, Command2, Option1, Option2, Option3, List1, Text2, Command4});

    SetState(WindowState::NoFile);
}

Form1::~Form1() = default;

void Form1::closeEvent(QCloseEvent* event) {
    yield_.RequestStop();
    QMainWindow::closeEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        Text1_KeyDown(key->key(), key->modifiers());
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::mnuAPIRead_Click() {
    results_->Clear();
    SetState(WindowState::Loading);
    bool loaded = false;
    try {
        if (!systemFolder_) {
            systemFolder_ = std::make_unique<clsSystemFolder>();
        }
        const std::optional<QString> chosen = UserInterfaceServices::Current().ChooseFileToOpen(
            this, kLoadTitle, kFileFilter, InitialFolder());
        if (chosen) {
            dialogFileName_ = *chosen;
        }
        if (!fileLineRead_) {
            fileLineRead_ = std::make_unique<clsFileLineRead>();
        }
        fileLineRead_->SetFileName(dialogFileName_.toStdString());
        const BusyPointer busy;
        yield_.Start();
        fileLineRead_->FileLineRead(APILines, yield_);
        loaded = true;
    } catch (const OperationStopped&) {
        // The window is closing.
    } catch (const std::exception&) {
        // The failure path shows no message: the search controls stay disabled.
    }
    SetState(loaded ? WindowState::Ready : WindowState::NoFile);
}

void Form1::Command1_Click() {
    SetState(WindowState::Searching);
    const std::int32_t category = Option1->isChecked()   ? kConstants
                                  : Option2->isChecked() ? kFunctions
                                                         : kTypes;
    const std::string key = Text1->text().toStdString();
    {
        const BusyPointer busy;
        yield_.Start();
        try {
            APISearch(APILines, key, category, *results_, yield_);
            results_->Commit();
        } catch (const OperationStopped&) {
            // The window is closing; the entries found so far are of no use to anyone.
        }
    }
    SetState(WindowState::Ready);
}

void Form1::Text1_KeyDown(int KeyCode, [[maybe_unused]] Qt::KeyboardModifiers Shift) {
    // A second search must not run inside a running one, so Enter waits for it to end.
    if ((KeyCode == Qt::Key_Return || KeyCode == Qt::Key_Enter) &&
        state_ != WindowState::Searching) {
        Command1_Click();
    }
}

void Form1::mnuEnd_Click() {
    // Closing this window also stops a running load or search at its next yield.
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void Form1::mnuVersion_Click() {
    frmAbout::ShowAbout(windowIcon());
}

void Form1::Command4_Click() {
    List1_DblClick();
}

void Form1::List1_Click() {
    const Preview preview = PreviewSelection(SelectedEntries(), Option3->isChecked(), APILines);
    Label1->setText(FromUtf8(preview.text));
    if (preview.enableAdd) {
        Command4->setEnabled(true);
    }
}

void Form1::List1_DblClick() {
    outputText_ =
        AddSelection(std::move(outputText_), SelectedEntries(), Option3->isChecked(), APILines);
    ShowOutputText();
}

void Form1::Command2_Click() {
    outputText_.clear();
    ShowOutputText();
}

void Form1::Command3_Click() {
    ServicesClipboard clipboard;
    ServicesMessageDialog messageBox(this);
    CopyToClipboard(outputText_, clipboard, messageBox);
}

void Form1::SetState(WindowState state) {
    state_ = state;
    ApplyWindowState(state, {mnuAPIRead, mnuEnd, Text1, Text2, Option1, Option2, Option3, Command1,
                             Command2, Command3, List1});
}

QString Form1::InitialFolder() const {
    QString folder =
        QString::fromStdString(modFindFile::AddBackslash(systemFolder_->VB5Install()) + "winapi");
#ifndef Q_OS_WIN
    // QDir::fromNativeSeparators leaves "\" alone where it is not the separator.
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    return folder;
}

std::vector<std::string_view> Form1::SelectedEntries() const {
    std::vector<std::string_view> selected;
    for (const QModelIndex& index : List1->selectionModel()->selectedIndexes()) {
        selected.emplace_back(results_->Item(index.row()));
    }
    return selected;
}

void Form1::ShowOutputText() {
    Text2->setPlainText(FromUtf8(outputText_));
    Text2->moveCursor(QTextCursor::End);
}

}  // namespace brackwin
