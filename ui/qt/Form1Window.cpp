#include "Form1Window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>

#include "AccessibleNames.h"
#include "AppIdentity.h"
#include "KeyBox.h"
#include "OptionGroup.h"
#include "OutputTextEdit.h"
#include "PaletteColours.h"
#include "ReadableLabel.h"
#include "ResultListModel.h"
#include "ResultListView.h"
#include "Twips.h"
#include "TypeAhead.h"
#include "UserInterfaceServices.h"
#include "Utf8Text.h"
#include "WidgetSetup.h"
#include "frmAbout.h"

namespace brackwin {

namespace {

constexpr int kClientWidth = 6615;
constexpr int kClientHeight = 7875;

// The state of Shift, Ctrl and Alt as a key-down event reports it: 1, 2 and 4.
int ShiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

}  // namespace

Form1Window::Form1Window(QWidget* parent) : QMainWindow(parent), logic_(*this) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(FromUtf8(kAppTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/brackwin-32.png")));

    mnuFile = Named(menuBar()->addMenu(QStringLiteral("ファイル")), "mnuFile");
    mnuAPIRead = Named(mnuFile->addAction(QStringLiteral("APIファイルの読み込み")), "mnuAPIRead");
    connect(mnuAPIRead, &QAction::triggered, this, [this] { logic_.mnuAPIRead_Click(); });
    mnuSep1 = Named(mnuFile->addSeparator(), "mnuSep1");
    mnuEnd = Named(mnuFile->addAction(QStringLiteral("終了")), "mnuEnd");
    connect(mnuEnd, &QAction::triggered, this, [this] { logic_.mnuEnd_Click(); });
    mnuVersion = Named(menuBar()->addAction(QStringLiteral("Version")), "mnuVersion");
    connect(mnuVersion, &QAction::triggered, this, [this] { logic_.mnuVersion_Click(); });

    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(TwipsToPixels(kClientWidth, client->logicalDpiX()),
                         TwipsToPixels(kClientHeight, client->logicalDpiY()));
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Text1 = Named(new KeyBox(client), "Text1");
    PlaceInTwips(Text1, 360, 0, 5895, 375);
    Text1->setAccessibleName(FromUtf8(kText1AccessibleName));
    // Enter is seen here before the key box handles it as usual.
    Text1->installEventFilter(this);

    Command1 = Named(new QPushButton(QStringLiteral("サーチ"), client), "Command1");
    PlaceInTwips(Command1, 5280, 600, 855, 375);
    connect(Command1, &QPushButton::clicked, this, [this] { logic_.Command1_Click(); });

    Command3 = Named(new QPushButton(QStringLiteral("コピー"), client), "Command3");
    PlaceInTwips(Command3, 5760, 4200, 855, 375);
    connect(Command3, &QPushButton::clicked, this, [this] { logic_.Command3_Click(); });

    Command2 = Named(new QPushButton(QStringLiteral("クリア"), client), "Command2");
    PlaceInTwips(Command2, 5760, 4560, 855, 375);
    connect(Command2, &QPushButton::clicked, this, [this] { logic_.Command2_Click(); });

    Option1 = Named(new QRadioButton(QStringLiteral("定数"), client), "Option1");
    PlaceInTwips(Option1, 360, 720, 1455, 255);
    Option1->setChecked(true);
    Option2 = Named(new QRadioButton(QStringLiteral("関数"), client), "Option2");
    PlaceInTwips(Option2, 2040, 720, 1455, 255);
    Option3 = Named(new QRadioButton(QStringLiteral("型"), client), "Option3");
    PlaceInTwips(Option3, 3720, 720, 1455, 255);
    new OptionGroup({Option1, Option2, Option3}, this);

    results_ = new ResultListModel(logic_.Results(), this);
    List1 = Named(new ResultListView(client), "List1");
    PlaceInTwips(List1, 0, 1080, 6615, 2760);
    List1->setModel(results_);
    List1->setAccessibleName(FromUtf8(kList1AccessibleName));
    connect(List1, &ResultListView::Click, this, [this] { logic_.List1_Click(); });
    connect(List1, &ResultListView::CharacterTyped, this, &Form1Window::List1_CharacterTyped);
    connect(List1, &ResultListView::doubleClicked, this, [this] { logic_.List1_DblClick(); });

    Text2 = Named(new OutputTextEdit(logic_.Output(), client), "Text2");
    PlaceInTwips(Text2, 0, 5040, 6615, 2775);
    Text2->setReadOnly(true);
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text2->setTabChangesFocus(true);
    Text2->setAccessibleName(FromUtf8(kText2AccessibleName));
    connect(Text2, &OutputTextEdit::CopyRequested, this, [this] {
        const auto [from, to] = Text2->Selection();
        logic_.Text2_Copy(from, to);
    });

    Label1 = Named(new ReadableLabel(client), "Label1");
    PlaceInTwips(Label1, 120, 3960, 5535, 975);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setAutoFillBackground(true);
    Label1->setAccessibleName(FromUtf8(kLabel1AccessibleName));

    Command4 = Named(new QPushButton(QStringLiteral("追加"), client), "Command4");
    PlaceInTwips(Command4, 5760, 3840, 855, 375);
    connect(Command4, &QPushButton::clicked, this, [this] { logic_.Command4_Click(); });

    SetTabOrder(
        {Text1, Command1, Command3, Command2, Option1, Option2, Option3, List1, Text2, Command4});

    ApplyColours();
    logic_.Form_Load();
}

Form1Window::~Form1Window() = default;

void Form1Window::closeEvent(QCloseEvent* event) {
    logic_.Form_Unload();
    QMainWindow::closeEvent(event);
}

void Form1Window::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        ApplyColours();
    }
}

void Form1Window::ApplyColours() {
    const WindowColours colours = PaletteColours();
    QPalette preview = Label1->palette();
    SetPair(preview, QPalette::WindowText, QPalette::Window, colours.preview);
    Label1->setPalette(preview);
    QPalette rows = List1->palette();
    SetPair(rows, QPalette::Text, QPalette::Base, colours.row);
    SetPair(rows, QPalette::HighlightedText, QPalette::Highlight, colours.selectedRow);
    List1->setPalette(rows);
}

void Form1Window::List1_CharacterTyped(const QString& character) {
    const std::optional<std::size_t> next =
        NextEntryBeginningWith(logic_.Results(), SelectedResult(), character.toStdString());
    if (next) {
        List1->ChooseRow(static_cast<int>(*next));
    }
}

bool Form1Window::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // Only Enter matters to the handler; other keys reach it without a code.
        logic_.Text1_KeyDown(enter ? kEnterKeyCode : 0, ShiftState(key->modifiers()));
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1Window::Enable(Control control, bool enabled) {
    switch (control) {
        case Control::mnuAPIRead:
            mnuAPIRead->setEnabled(enabled);
            break;
        case Control::mnuEnd:
            mnuEnd->setEnabled(enabled);
            break;
        default:
            Widget(control)->setEnabled(enabled);
    }
}

QWidget* Form1Window::Widget(Control control) const {
    switch (control) {
        case Control::Text1:
            return Text1;
        case Control::Text2:
            return Text2;
        case Control::Option1:
            return Option1;
        case Control::Option2:
            return Option2;
        case Control::Option3:
            return Option3;
        case Control::Command1:
            return Command1;
        case Control::Command2:
            return Command2;
        case Control::Command3:
            return Command3;
        case Control::List1:
            return List1;
        case Control::Command4:
            return Command4;
        case Control::mnuAPIRead:
        case Control::mnuEnd:
            break;
    }
    return nullptr;
}

// Over this window only: an application-wide override pointer would show over the About window
// too. Widgets with a pointer of their own (the text boxes) get the busy one in its place.
void Form1Window::ShowBusyPointer(bool busy) {
    QList<QWidget*> widgets = findChildren<QWidget*>();
    widgets.append(this);
    for (QWidget* widget : widgets) {
        if (busy) {
            if (widget->testAttribute(Qt::WA_SetCursor)) {
                ownCursors_.insert(widget, widget->cursor());
            }
            widget->setCursor(Qt::WaitCursor);
        } else if (const auto own = ownCursors_.constFind(widget); own != ownCursors_.cend()) {
            widget->setCursor(*own);
        } else {
            widget->unsetCursor();
        }
    }
    if (!busy) {
        ownCursors_.clear();
    }
}

void Form1Window::ResultsAboutToBeCleared() {
    results_->BeginClear();
}

void Form1Window::ResultsCleared() {
    results_->EndClear();
}

void Form1Window::ResultsAboutToBePlaced() {
    results_->BeginPlace();
}

void Form1Window::ResultsPlaced() {
    results_->EndPlace();
}

std::optional<std::size_t> Form1Window::SelectedResult() const {
    const QModelIndexList selected = List1->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(selected.constFirst().row());
}

std::string Form1Window::KeyText() const {
    return Text1->text().toStdString();
}

bool Form1Window::IsSelected(Control option) const {
    const auto* button = qobject_cast<const QRadioButton*>(Widget(option));
    return button != nullptr && button->isChecked();
}

void Form1Window::SetLabel1(std::string_view caption) {
    Label1->ShowText(FromUtf8(caption));
}

void Form1Window::SetText2(std::string_view text) {
    Text2->setPlainText(FromUtf8(text));
}

void Form1Window::AppendText2(std::string_view text) {
    QString added = FromUtf8(text);
    added.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor end(Text2->document());
    end.movePosition(QTextCursor::End);
    end.insertText(added);
    Text2->moveCursor(QTextCursor::End);
}

std::optional<std::string> Form1Window::ShowOpenDialog(const OpenDialogSettings& settings) {
    QString folder = FromUtf8(settings.initialFolder);
#ifndef Q_OS_WIN
    // QDir::fromNativeSeparators leaves "\" alone where it is not the separator.
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    // The description names the pattern in brackets, which is how Qt takes a filter.
    const std::optional<QString> chosen = UserInterfaceServices::Current().ChooseFileToOpen(
        this, FromUtf8(settings.title), FromUtf8(settings.filterDescription), folder);
    if (!chosen) {
        return std::nullopt;
    }
    return chosen->toStdString();
}

void Form1Window::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

void Form1Window::ShowAbout() {
    frmAbout::ShowAbout(windowIcon());
}

void Form1Window::EndProgram() {
    // Closing this window also stops a running load or search at its next yield.
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void Form1Window::Clear() {
    UserInterfaceServices::Current().ClearClipboard();
}

bool Form1Window::SetText(std::string_view text) {
    return UserInterfaceServices::Current().SetClipboardText(FromUtf8(text));
}

void Form1Window::Show(std::string_view text, std::string_view caption) {
    UserInterfaceServices::Current().ShowMessage(this, FromUtf8(text), FromUtf8(caption));
}

}  // namespace brackwin
