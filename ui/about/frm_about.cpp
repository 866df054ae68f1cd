// SPDX-License-Identifier: GPL-3.0-or-later
#include "frm_about.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "ui/common/about_info.h"
#include "ui/common/artwork.h"
#include "ui/common/twips.h"

namespace bivano::ui {
namespace {

// Often enough that each new number shows within a glance of the clock's
// tick, seldom enough to cost nothing.
constexpr int kCountdownPollMs = 50;

const QColor kDarkYellow(128, 128, 0);
const QColor kDarkBlue(0, 0, 192);

// The etched separator: a grey line with a white one under it.
class EtchedLine final : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(0, 0, width(), 2, Qt::white);
        painter.fillRect(0, 0, width(), 1, QColor(128, 128, 128));
    }
};

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

frmAbout::frmAbout(const Platform& platform) : FixedToolWindow(6720, 3525), clock_(platform.clock) {
    BuildControls();
    countdown_.setInterval(kCountdownPollMs);
    connect(&countdown_, &QTimer::timeout, this, &frmAbout::CountdownStep);
    Form_Load(platform);
}

frmAbout::~frmAbout() = default;

void frmAbout::BuildControls() {
    setWindowTitle(QStringLiteral(" Πληροφορίες"));
    QPalette background = palette();
    background.setColor(QPalette::Window, kDarkYellow);
    setPalette(background);
    setAutoFillBackground(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    picIcon = new QLabel(this);
    lblDescription = new QLabel(
        QStringLiteral(
            "Αμφίδρομη μετάφραση Ελληνικών και Lativo κειμένων. Έκδοση για Windows 95/98/NT/2000"),
        this);
    lblTitle = new QLabel(about::ProductName(), this);
    lblVersion = new QLabel(QStringLiteral("Version"), this);
    Label1 = new QLabel(QStringLiteral("   Web: ") + about::WebAddress(), this);
    Label2 = new QLabel(about::AuthorName(), this);
    Label3 = new QLabel(QStringLiteral("Author"), this);
    Label4 = new QLabel(QStringLiteral("e-mail:  ") + about::EmailAddress(), this);
    Label5 = new QLabel(about::AuthorNickname(), this);
    L6 = new QLabel(QStringLiteral("0"), this);
    Line1 = new EtchedLine(this);

    ShowDrawnPicture(picIcon, [](qreal ratio) { return MakeIconPixmap(32, ratio); });
    lblDescription->setWordWrap(true);
    const FontSpec window_font{};
    const FontSpec sans_serif{QStringLiteral("MS Sans Serif"), 9.75, false};
    ApplyLayout({
        // control          left   top  width height tab  font
        {cmdOK, 5280, 2880, 1260, 345, 0, Arial(9)},  // Western character set
        {picIcon, 240, 240, 540, 540, -1, window_font},
        {lblDescription, 1080, 2880, 3555, 450, -1, Arial(8.25)},
        {lblTitle, 1080, 360, 3165, 345, -1, Arial(9.75, true)},
        {lblVersion, 1080, 960, 3885, 225, -1, window_font},
        {Label1, 1080, 1800, 3495, 255, -1, sans_serif},
        {Label2, 1680, 1320, 3150, 270, -1, Arial(11.25, true)},
        {Label3, 1080, 1320, 465, 195, -1, window_font},
        {Label4, 1080, 2160, 3015, 255, -1, sans_serif},
        {Label5, 4800, 1920, 1740, 495, -1, Arial(21.75)},
        {L6, 5880, 2880, 120, 270, -1, Arial(11.25, true)},
        {Line1, 120, 2640, 6480, 2, -1, window_font},
    });
    Line1->resize(Line1->width(), 2);  // two pixels, whatever the resolution
    SetTextColour(lblDescription, Qt::black);
    SetTextColour(lblTitle, Qt::red);
    SetTextColour(Label1, kDarkBlue);
    SetTextColour(Label2, Qt::red);
    SetTextColour(Label4, kDarkBlue);
    SetTextColour(Label5, kDarkBlue);
    SetTextColour(L6, QColor(0, 0, 255));
    for (QLabel* auto_size : {Label2, Label3, Label5, L6}) {
        auto_size->adjustSize();
    }
    // "Author" was laid out for a narrower font than this platform's: keep
    // a gap before the author's name, as the layout meant.
    const int gap = TwipsToPixels(60, this);
    QFont author_font = Label3->font();
    while (Label3->x() + Label3->width() + gap > Label2->x() && author_font.pointSizeF() > 6) {
        author_font.setPointSizeF(author_font.pointSizeF() - 0.25);
        Label3->setFont(author_font);
        Label3->adjustSize();
    }
    // The countdown lies under OK, which covers it once shown.
    L6->lower();
    cmdOK->raise();
    cmdOK->setVisible(false);
    cmdOK->setAutoDefault(false);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    LetEnterPressButtons(this);
}

// Creates the other two windows and connects the three: the one place
// that knows them all.
void frmAbout::Form_Load(const Platform& platform) {
    lblVersion->setText(about::Version());
    options_dialog_ = std::make_unique<FrmChoice>();
    main_window_ = std::make_unique<FrmMain>(options_dialog_->CurrentOptions(), platform);
    FrmMain* main = main_window_.get();
    FrmChoice* options = options_dialog_.get();

    options->SetOwner(main);
    SetOwner(main);
    connect(main, &FrmMain::OptionsRequested, options, &FrmChoice::ShowDialog);
    connect(main, &FrmMain::AboutRequested, this, &frmAbout::ShowAbout);
    connect(options, &FrmChoice::AccentsChosen, main, &FrmMain::PrepareSpeller);
    for (FixedToolWindow* window :
         {static_cast<FixedToolWindow*>(options), static_cast<FixedToolWindow*>(this)}) {
        connect(window, &FixedToolWindow::LockOwner, main, &FrmMain::Lock);
        connect(window, &FixedToolWindow::UnlockOwner, main, &FrmMain::Unlock);
        connect(main, &FrmMain::ActivatedWhileLocked, window, &FixedToolWindow::BringToFrontSoon);
    }
    // Shut-down: the options dialog, then this window, then the main window.
    connect(main, &FrmMain::Unloading, options, &FrmChoice::Unload);
    connect(main, &FrmMain::Unloading, this, &frmAbout::Unload);

    main->show();
    main->Lock();
    show();
    raise();
    activateWindow();
    repaint();

    start_time_ = clock_.SecondsOfDay();
    CountdownStep();
    if (!cmdOK->isVisible()) {
        countdown_.start();
    }
}

void frmAbout::CountdownStep() {
    const int elapsed = clock_.SecondsOfDay() - start_time_;
    // Past midnight the difference is negative; its seconds part then
    // exceeds five at once and the wait ends.
    const int seconds = (elapsed >= 0 ? elapsed : -elapsed) % 60;
    if (seconds > 5) {
        cmdOK->setVisible(true);
        cmdOK->setFocus();
        countdown_.stop();
    }
    L6->setText(QString::number(6 - seconds));
    L6->adjustSize();
    L6->repaint();
}

void frmAbout::Form_Activate() {
    Q_EMIT LockOwner();
}

void frmAbout::ShowAbout() {
    show();
    BringToFront();
}

void frmAbout::cmdOK_Click() {
    hide();
    Q_EMIT UnlockOwner();
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        // OK is the default and the cancel button, once it is there.
        if (cmdOK->isVisible()) {
            cmdOK->click();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmAbout::Unload() {
    unloading_ = true;
    countdown_.stop();
    close();
}

void frmAbout::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        event->accept();
        return;
    }
    // Closed by the window system: as OK, once OK is there; during the
    // countdown the window stays, as it has no way to close yet.
    if (cmdOK->isVisible()) {
        cmdOK_Click();
    }
    event->ignore();
}

}  // namespace bivano::ui
