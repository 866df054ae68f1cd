// SPDX-License-Identifier: GPL-3.0-or-later
#include "frm_main.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <utility>

#include "core/convert_to_greek.h"
#include "core/convert_to_latin.h"
#include "text_files.h"
#include "ui/common/about_info.h"
#include "ui/common/artwork.h"
#include "ui/common/twips.h"

namespace bivano::ui {
namespace {

const QString kOpenFailure =
    QStringLiteral("Σφάλμα Συστήματος. Σιγουρευτήτε ότι το αρχείο δεν είναι μεγάλύτερο από 64ΚΒ");
const QString kSaveFailure = QStringLiteral("Σφάλμα Συστήματος για το αρχείο ");

// The window's inner area: the layout's width, and tall enough for the
// whole banner (the layout's own height, 6345, hides most of it).
constexpr int kInnerWidth = 9480;
constexpr int kInnerHeight = 8655;

// Screen repaints during a run at most this often: enough to watch the bar
// move, and few enough that painting costs nothing next to converting.
constexpr int kPaintIntervalMs = 40;

// Bringing this much text into the result box at once takes a noticeable
// moment (some 0.1 s).
constexpr qsizetype kSlowFlushCharacters = 200'000;

// A run expected to end within this time shows its result only at the end.
constexpr double kEndsSoonMs = 250;

std::u16string_view View(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// A text box's own text with its paragraph separators turned into `line_break`.
// Built in one pass: QString::replace moves the tail along at every
// separator when the replacement is longer, which is quadratic in lines.
QString BoxText(const QPlainTextEdit* box, QLatin1String line_break) {
    const QString raw = box->document()->toRawText();
    const QStringView view(raw);
    QString text;
    text.reserve(raw.size() + raw.count(QChar::ParagraphSeparator) * (line_break.size() - 1));
    qsizetype start = 0;
    for (qsizetype found = view.indexOf(QChar::ParagraphSeparator); found >= 0;
         found = view.indexOf(QChar::ParagraphSeparator, start)) {
        text.append(view.sliced(start, found - start));
        text.append(line_break);
        start = found + 1;
    }
    text.append(view.sliced(start));
    return text;
}

// Eats the mouse and key input it sees: what the user did while a run held
// the window, which the user saw as busy, must not act once it ends.
class InputDropper final : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Wheel:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::ContextMenu:
                return true;
            default:
                return false;
        }
    }
};

}  // namespace

FrmMain::FrmMain(const ConversionOptions& current_options, Services services, QWidget* parent)
    : QMainWindow(parent),
      file_dialog_(services.file_dialog != nullptr
                       ? *services.file_dialog
                       : *(own_file_dialog_ = std::make_unique<QtFileDialogBackend>())),
      message_box_(services.message_box != nullptr
                       ? *services.message_box
                       : *(own_message_box_ = std::make_unique<QtMessageBox>())),
      CommonDialog1(file_dialog_),
      current_options_(current_options) {
    BuildControls();
    BuildMenu();
    resize(TwipsToPixels(kInnerWidth, this),
           TwipsToPixels(kInnerHeight, this) + menuBar()->sizeHint().height());
    Form_Load();
}

FrmMain::~FrmMain() = default;

void FrmMain::BuildControls() {
    setWindowTitle(QStringLiteral(" Lativo Bivano Ver 3.3"));
    setWindowIcon(MakeAppIcon());
    setFont(Arial(8.25).Make(font()));

    auto* inner = new QWidget(this);
    setCentralWidget(inner);

    Line1 = new QFrame(inner);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Label2 = new QLabel(QStringLiteral("Πρότυπο Κείμενο:"), inner);
    Label3 = new QLabel(QStringLiteral("Μετατροπή:"), inner);
    Text1 = new QPlainTextEdit(inner);
    Text2 = new QPlainTextEdit(inner);
    EnglishBtn = new QPushButton(QStringLiteral("Lativo"), inner);
    GreekBtn = new QPushButton(QStringLiteral("Ελληνικά"), inner);
    PasteBtn = new QPushButton(QStringLiteral("Επικόλληση"), inner);
    CopyBtn = new QPushButton(QStringLiteral("Αντιγραφή"), inner);
    PrBar = new QProgressBar(inner);
    Picture1 = new QLabel(inner);

    for (QPlainTextEdit* box : {Text1, Text2}) {
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setTabChangesFocus(true);
    }
    Text2->setReadOnly(true);
    Text2->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    PrBar->setRange(0, 100);
    PrBar->setValue(0);
    PrBar->setTextVisible(false);
    PrBar->setFocusPolicy(Qt::NoFocus);
    Picture1->setPixmap(MakeBanner());
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QLabel* label : {Label2, Label3, Picture1}) {
        label->setFocusPolicy(Qt::NoFocus);
    }

    const FontSpec window_font{};
    ApplyLayout({
        // control       left   top  width height tab  font
        {Line1, 0, 0, 9360, 30, -1, window_font},
        {Label2, 240, 240, 1695, 255, -1, Arial(9)},
        {Label3, 5040, 240, 1215, 255, -1, Arial(9)},
        {Text1, 240, 600, 4335, 4095, 7, window_font},
        {Text2, 5040, 600, 4215, 4095, 8, window_font},
        {EnglishBtn, 240, 4920, 1215, 375, 2, Arial(9)},
        {GreekBtn, 1800, 4920, 1215, 375, 3, Arial(9)},
        {PasteBtn, 3360, 4920, 1215, 375, 4, window_font},
        {CopyBtn, 8040, 4920, 1215, 375, 5, Arial(9)},
        {PrBar, 240, 5760, 4335, 255, -1, window_font},
        {Picture1, 1200, 6240, 8055, 2295, -1, window_font},
    });
    // The first control that takes the focus, as when the window opens.
    EnglishBtn->setFocus();

    connect(EnglishBtn, &QPushButton::clicked, this, &FrmMain::EnglishBtn_Click);
    connect(GreekBtn, &QPushButton::clicked, this, &FrmMain::GreekBtn_Click);
    connect(PasteBtn, &QPushButton::clicked, this, &FrmMain::PasteBtn_Click);
    connect(CopyBtn, &QPushButton::clicked, this, &FrmMain::CopyBtn_Click);
}

void FrmMain::BuildMenu() {
    File = menuBar()->addMenu(QStringLiteral("Αρχείο"));
    Openfile = File->addAction(QStringLiteral("Άνοιγμα"));
    CloseFile = File->addAction(QStringLiteral("Κλείσιμο"));
    SaveFile = File->addAction(QStringLiteral("Αποθήκευση"));
    ProgrExit = File->addAction(QStringLiteral("Έξοδος"));
    Choice = menuBar()->addAction(QStringLiteral("Επιλογές"));
    Info = menuBar()->addAction(QStringLiteral("Σχετικά"));

    connect(Openfile, &QAction::triggered, this, &FrmMain::Openfile_Click);
    connect(CloseFile, &QAction::triggered, this, &FrmMain::CloseFile_Click);
    connect(SaveFile, &QAction::triggered, this, &FrmMain::SaveFile_Click);
    connect(ProgrExit, &QAction::triggered, this, &FrmMain::ProgrExit_Click);
    connect(Choice, &QAction::triggered, this, &FrmMain::Choice_Click);
    connect(Info, &QAction::triggered, this, &FrmMain::Info_Click);
}

void FrmMain::SetCompanions(QWidget* options_dialog, QWidget* about_window) {
    options_dialog_ = options_dialog;
    about_window_ = about_window;
}

void FrmMain::Form_Load() {
    LatinCredit = QString::fromStdU16String(std::u16string(product::kLatinCredit));
    GreekCredit = QString::fromStdU16String(std::u16string(product::kGreekCredit));
}

QString FrmMain::SourceText() const {
    return BoxText(Text1, QLatin1String("\r\n"));
}

QString FrmMain::ResultText() const {
    return BoxText(Text2, QLatin1String("\r\n"));
}

void FrmMain::SetSourceText(const QString& text) {
    // The document takes CR LF, CR and LF each as one line break.
    Text1->setPlainText(text);
}

void FrmMain::EnglishBtn_Click() {
    const QString source = SourceText();
    ConvertToLatin(View(source), current_options_, View(LatinCredit), *this);
    EndRun();
}

void FrmMain::GreekBtn_Click() {
    const QString source = SourceText();
    ConvertToGreek(View(source), View(GreekCredit), *this);
    EndRun();
}

void FrmMain::ShowBusy() {
    if (!busy_cursor_shown_) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        busy_cursor_shown_ = true;
    }
}

void FrmMain::EndRun() {
    if (!busy_cursor_shown_ && run_timer_.elapsed() < kPaintIntervalMs) {
        return;  // a short run: nobody had time to do anything meanwhile
    }
    // The run held the window's thread; what the user clicked or typed
    // meanwhile is waiting to be handled. Drop it, then show the cursor
    // as ready again.
    InputDropper dropper;
    qApp->installEventFilter(&dropper);
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
    QCoreApplication::processEvents();
    qApp->removeEventFilter(&dropper);
    if (busy_cursor_shown_) {
        QGuiApplication::restoreOverrideCursor();
        busy_cursor_shown_ = false;
    }
}

void FrmMain::PasteBtn_Click() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard->mimeData();
    // A clipboard that cannot be asked counts as holding text.
    if (data != nullptr && !data->hasText()) {
        return;
    }
    const QString text = clipboard->text();
    // Text that was promised but could not be read (an owner that refuses
    // or never answers gives none) leaves the box as it was, and so does a
    // text the box cannot hold.
    if (text.isEmpty() || !FitsTextBox(text)) {
        return;
    }
    SetSourceText(text);
}

void FrmMain::CopyBtn_Click() {
    QGuiApplication::clipboard()->setText(BoxText(Text2, QLatin1String("\n")));
}

void FrmMain::PrepareFileDialog(int flags) {
    CommonDialog1.CancelError = true;
    CommonDialog1.Flags = flags;
    CommonDialog1.DefaultExt = QStringLiteral("TXT");
    CommonDialog1.Filter = QStringLiteral("Text files|*.TXT|All files|*.*");
}

void FrmMain::Openfile_Click() {
    PrepareFileDialog(CommonDialog::cdlOFNFileMustExist);
    if (!CommonDialog1.ShowOpen(this)) {
        return;
    }
    const std::optional<QString> text = ReadTextFile(CommonDialog1.FileName);
    if (!text) {
        message_box_.Show(this, kOpenFailure);
        return;
    }
    SetSourceText(*text);
}

void FrmMain::SaveFile_Click() {
    PrepareFileDialog(CommonDialog::cdlOFNOverwritePrompt);
    if (!CommonDialog1.ShowSave(this)) {
        return;
    }
    if (!WriteTextFile(CommonDialog1.FileName, ResultText())) {
        message_box_.Show(this, kSaveFailure + CommonDialog1.FileName);
    }
}

void FrmMain::CloseFile_Click() {
    Text1->clear();
    Text2->clear();
    pending_result_.clear();
    result_ends_in_cr_ = false;
}

void FrmMain::ProgrExit_Click() {
    UnloadCompanions();
    close();
}

void FrmMain::Choice_Click() {
    if (options_dialog_) {
        options_dialog_->show();
        options_dialog_->raise();
        options_dialog_->activateWindow();
    }
}

void FrmMain::Info_Click() {
    if (about_window_) {
        about_window_->show();
        about_window_->raise();
        about_window_->activateWindow();
    }
}

void FrmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void FrmMain::Form_Unload() {
    UnloadCompanions();
}

void FrmMain::UnloadCompanions() {
    // Each is unloaded once: a window that is gone is left alone.
    const QPointer<QWidget> options_dialog = std::exchange(options_dialog_, nullptr);
    const QPointer<QWidget> about_window = std::exchange(about_window_, nullptr);
    for (QWidget* window : {options_dialog.data(), about_window.data()}) {
        if (window != nullptr &&
            !QMetaObject::invokeMethod(window, "Unload", Qt::DirectConnection)) {
            window->close();
        }
    }
}

void FrmMain::ClearResult() {
    Text2->clear();
    pending_result_.clear();
    result_ends_in_cr_ = false;
    // The first screen repaint of a run waits one interval: a short run
    // shows its result at the end, at once.
    run_timer_.start();
    last_progress_paint_.start();
    last_result_paint_.start();
    last_result_cost_ms_ = 0;
}

void FrmMain::SetMaximum(std::int32_t count) {
    PrBar->setMaximum(count);
}

void FrmMain::SetPosition(std::int32_t value) {
    // Pushing every value to the bar would cost more than the conversion;
    // it is shown when a repaint asks for it, and at the end of the run.
    position_ = value;
    if (value == 0) {
        ShowPosition();
    }
}

void FrmMain::ShowPosition() {
    if (PrBar->value() != position_) {
        PrBar->setValue(position_);
    }
}

void FrmMain::AppendResult(std::u16string_view text) {
    pending_result_.append(QStringView(text.data(), static_cast<qsizetype>(text.size())));
}

bool FrmMain::PaintDue(QElapsedTimer& last_paint) {
    if (last_paint.isValid() && last_paint.elapsed() < kPaintIntervalMs) {
        return false;
    }
    last_paint.start();
    return true;
}

void FrmMain::RepaintProgress() {
    if (PaintDue(last_progress_paint_)) {
        ShowBusy();
        ShowPosition();
        PrBar->repaint();
    }
}

bool FrmMain::RunEndsSoon() const {
    const qint64 maximum = PrBar->maximum();
    if (position_ <= 0 || maximum <= 0 || !run_timer_.isValid()) {
        return false;
    }
    const double done = static_cast<double>(position_) / static_cast<double>(maximum);
    const double remaining_ms = static_cast<double>(run_timer_.elapsed()) * (1.0 - done) / done;
    return remaining_ms < kEndsSoonMs;
}

void FrmMain::RepaintResult() {
    // Bringing text into a long line lays the whole line out again, so the
    // pause after a repaint grows with what the last one cost: the repaints
    // then take a bounded share of the run, however long the text. Near the
    // end of a run the final result is only moments away, and a repaint
    // would just delay it.
    const bool due = !last_result_paint_.isValid() ||
                     last_result_paint_.elapsed() >=
                         std::max<qint64>(kPaintIntervalMs, 8 * last_result_cost_ms_);
    if (due && !RunEndsSoon()) {
        ShowBusy();
        QElapsedTimer cost;
        cost.start();
        FlushResult();
        Text2->viewport()->repaint();
        last_result_cost_ms_ = cost.elapsed();
        last_result_paint_.start();
    }
}

void FrmMain::RepaintWindow() {
    // Bringing a long result into the box may itself take a while.
    if ((run_timer_.isValid() && run_timer_.elapsed() >= kPaintIntervalMs) ||
        pending_result_.size() > kSlowFlushCharacters) {
        ShowBusy();
    }
    FlushResult();
    ShowPosition();
    repaint();
}

void FrmMain::FlushResult() {
    if (pending_result_.isEmpty()) {
        return;
    }
    QString piece = std::move(pending_result_);
    pending_result_ = QString();
    if (result_ends_in_cr_ && piece.startsWith(QLatin1Char('\n'))) {
        piece.remove(0, 1);
    }
    if (piece.isEmpty()) {
        return;
    }
    result_ends_in_cr_ = piece.endsWith(QLatin1Char('\r'));
    if (Text2->document()->isEmpty()) {
        Text2->setPlainText(piece);
    } else {
        QTextCursor end(Text2->document());
        end.movePosition(QTextCursor::End);
        end.insertText(piece);
    }
}

}  // namespace bivano::ui
