// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/frm_main.h"

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
#include <QTextDocument>
#include <algorithm>
#include <utility>

#include "core/pipeline.h"
#include "core/product.h"
#include "ui/common/about_info.h"
#include "ui/common/artwork.h"
#include "ui/common/top_level.h"
#include "ui/common/twips.h"
#include "ui/main/text_files.h"

namespace bivano::ui {
namespace {

const QString kOpenFailure =
    QStringLiteral("Σφάλμα Συστήματος. Σιγουρευτήτε ότι το αρχείο δεν είναι μεγάλύτερο από 64ΚΒ");
const QString kSaveFailure = QStringLiteral("Σφάλμα Συστήματος για το αρχείο ");
const QString kNoDictionary = QStringLiteral(
    "Το λεξικό της ελληνικής ορθογραφίας (greek.model) λείπει ή είναι κατεστραμμένο. Η "
    "μετατροπή σε Ελληνικά γίνεται χωρίς τόνους και διόρθωση ορθογραφίας.");

// The window's inner area: the layout's width, and tall enough for the
// whole banner (the layout's own height, 6345, hides most of it).
constexpr int kInnerWidth = 9480;
constexpr int kInnerHeight = 8655;

// Bringing this much text into the result box at once takes a noticeable
// moment (some 0.1 s).
constexpr qsizetype kSlowFlushCharacters = 200'000;

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

FrmMain::FrmMain(const ConversionOptions& current_options, const Platform& platform,
                 QWidget* parent)
    : QMainWindow(parent),
      CommonDialog1(platform.file_dialog),
      current_options_(current_options),
      message_box_(platform.message_box),
      greek_model_(platform.greek_model),
      greek_dictionary_(platform.greek_dictionary) {
    BuildControls();
    BuildMenu();
    feed_ = std::make_unique<ResultFeed>(*Text2, *PrBar, platform.clock);
    resize(TwipsToPixels(kInnerWidth, this),
           TwipsToPixels(kInnerHeight, this) + menuBar()->sizeHint().height());
    Form_Load();
}

FrmMain::~FrmMain() = default;

void FrmMain::BuildControls() {
    setWindowTitle(QStringLiteral(" %1 Ver %2")
                       .arg(about::ProductName(),
                            QString::fromLatin1(product::kVersion.data(),
                                                static_cast<qsizetype>(product::kVersion.size()))));
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
    ShowDrawnPicture(Picture1, MakeBanner);
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
    LetEnterPressButtons(this);
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
    ConvertWithProgress(RunSettings(Direction::Latin, LatinCredit, nullptr), View(source), *this);
    EndRun();
}

void FrmMain::GreekBtn_Click() {
    const QString source = SourceText();
    // With accents and spelling the spelled text comes through the same
    // receiver, once; without the dictionary the run is the plain one.
    const GreekSpeller* speller =
        current_options_.greek == GreekSpelling::Accented ? Speller() : nullptr;
    ConvertWithProgress(RunSettings(Direction::Greek, GreekCredit, speller), View(source), *this);
    EndRun();
}

PipelineSettings FrmMain::RunSettings(Direction direction, const QString& credit,
                                      const GreekSpeller* speller) const {
    PipelineSettings settings;
    settings.direction = direction;
    settings.options = current_options_;
    settings.credit = View(credit);
    settings.speller = speller;
    settings.chat = true;  // the reader writes out the chat abbreviations
    return settings;
}

void FrmMain::PrepareSpeller() {
    if (speller_ == nullptr && !speller_missing_ && !speller_coming_.valid()) {
        speller_coming_ =
            std::async(std::launch::async, [model = greek_model_, list = greek_dictionary_] {
                return list.empty() ? io::OpenGreekModel(model) : io::OpenHunspellList(list);
            });
    }
}

const GreekSpeller* FrmMain::Speller() {
    if (speller_ == nullptr && !speller_missing_) {
        ShowBusy();
        PrepareSpeller();
        speller_ = speller_coming_.get();  // ready by now, as a rule
        if (speller_ == nullptr) {
            speller_missing_ = true;  // said once, not at every run
            message_box_.Show(this, kNoDictionary);
        }
    }
    return speller_.get();
}

void FrmMain::ShowBusy() {
    if (!busy_cursor_shown_) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        busy_cursor_shown_ = true;
    }
}

void FrmMain::EndRun() {
    if (!busy_cursor_shown_ && feed_->Elapsed() < ResultFeed::kPaintIntervalMs) {
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
    // The box keeps the CR LF pairs the conversions write, and Save writes
    // them; other programs on this platform expect plain LF.
    QString text = ResultText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QGuiApplication::clipboard()->setText(text);
}

void FrmMain::PrepareFileDialog(int flags) {
    CommonDialog1.Flags = flags;
    CommonDialog1.DefaultExt = QStringLiteral("TXT");
    CommonDialog1.Filter = QStringLiteral("Text files|*.TXT|All files|*.*");
}

void FrmMain::Openfile_Click() {
    PrepareFileDialog(CommonDialog::cdlOFNFileMustExist);
    if (!CommonDialog1.ShowOpen(this)) {
        return;
    }
    // One message whatever the cause, as the window has always said it.
    const Result<QString> text = ReadTextFile(CommonDialog1.FileName);
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
    feed_->Reset();
}

void FrmMain::ProgrExit_Click() {
    Form_Unload();
    close();
}

void FrmMain::Choice_Click() {
    Q_EMIT OptionsRequested();
}

void FrmMain::Info_Click() {
    Q_EMIT AboutRequested();
}

void FrmMain::Lock() {
    if (isEnabled()) {
        focus_before_lock_ = focusWidget() != nullptr ? focusWidget() : EnglishBtn;
    }
    setEnabled(false);
}

void FrmMain::Unlock() {
    setEnabled(true);
    raise();
    activateWindow();
    (focus_before_lock_ ? focus_before_lock_.data() : EnglishBtn)->setFocus();
}

void FrmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isEnabled()) {
        Q_EMIT ActivatedWhileLocked();
    }
}

void FrmMain::closeEvent(QCloseEvent* event) {
    // Locked, the window takes no input, its close button included.
    if (!isEnabled() && !unloading_) {
        event->ignore();
        Q_EMIT ActivatedWhileLocked();
        return;
    }
    Form_Unload();
    event->accept();
}

void FrmMain::Form_Unload() {
    if (!std::exchange(unloading_, true)) {
        Q_EMIT Unloading();
    }
}

void FrmMain::ClearResult() {
    feed_->Clear();
}

void FrmMain::SetMaximum(std::int32_t count) {
    feed_->SetMaximum(count);
}

void FrmMain::SetPosition(std::int32_t value) {
    feed_->SetPosition(value);
}

void FrmMain::AppendResult(std::u16string_view text) {
    feed_->Append(text);
}

void FrmMain::RepaintProgress() {
    if (feed_->RepaintProgress()) {
        ShowBusy();
    }
}

void FrmMain::RepaintResult() {
    if (feed_->RepaintResult()) {
        ShowBusy();
    }
}

void FrmMain::RepaintWindow() {
    // Bringing a long result into the box may itself take a while.
    if (feed_->Elapsed() >= ResultFeed::kPaintIntervalMs ||
        feed_->PendingSize() > kSlowFlushCharacters) {
        ShowBusy();
    }
    feed_->Finish();
    repaint();
}

}  // namespace bivano::ui
