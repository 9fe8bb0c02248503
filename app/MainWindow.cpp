#include "app/MainWindow.h"

#include "app/TextUtil.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStackedWidget>
#include <QWindow>

#include <algorithm>

// The pictures live in this static library; a resource file linked that way registers only
// when asked to.
static void registerPictures() { Q_INIT_RESOURCE(pictures); }

namespace app {
namespace {

constexpr int kWidth = 489;
constexpr int kHeight = 392;
constexpr int kTitleHeight = 31;
const QColor kTitleColour(53, 53, 53);
const char* const kCaption = "Atualização do sistema";

// The design's fonts, with a font every Linux desktop has where they are missing.
QFont pixelFont(int pixels, const QString& family = "Tahoma") {
    QFont font;
    font.setFamilies({family, "DejaVu Sans"});
    font.setPixelSize(pixels);
    return font;
}

QString qs(const std::string& text) { return QString::fromStdString(text); }

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                 int fontPixels, Qt::Alignment alignment = Qt::AlignCenter) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(pixelFont(fontPixels));
    label->setAlignment(alignment);
    return label;
}

QLabel* addPicture(QWidget* parent, const char* name, const QString& resource,
                   const QRect& geometry) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(name);
    picture->setGeometry(geometry);
    picture->setPixmap(QPixmap(resource));
    picture->setScaledContents(true);
    return picture;
}

QPushButton* addButton(QWidget* parent, const char* name, const QString& text,
                       const QRect& geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFont(pixelFont(15));
    return button;
}

// Centred horizontally on a page of the window's width.
QRect centred(int top, int width, int height) { return {(kWidth - width) / 2, top, width, height}; }

} // namespace

MainWindow::MainWindow(UpdaterSettings settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    registerPictures();
    setObjectName("frmAtualizadorAutomatico");
    setWindowTitle(kCaption);
    setFixedSize(kWidth, kHeight);
    setFont(pixelFont(11));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    setPalette(palette);
    setAutoFillBackground(true);

    buildTitleStrip();
    PageControl1 = new QStackedWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(0, kTitleHeight, kWidth, kHeight - kTitleHeight);
    PageControl1->addWidget(buildCheckPage());
    PageControl1->addWidget(buildNotesPage());
    PageControl1->addWidget(buildSuccessPage());

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    form_ = std::make_unique<TfrmAtualizadorAutomatico>(*this, std::move(settings));
}

MainWindow::~MainWindow() = default;

void MainWindow::buildTitleStrip() {
    auto* Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(0, 0, kWidth, kTitleHeight);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, kTitleColour);
    Panel1->setPalette(palette);
    Panel1->setAutoFillBackground(true);

    constexpr int kLogoWidth = 91;
    constexpr int kCloseWidth = 39;
    auto* logo = new QLabel(Panel1);
    logo->setObjectName("imgLogotipo");
    logo->setGeometry(0, 0, kLogoWidth, kTitleHeight);
    logo->setPixmap(QPixmap(":/pictures/logo.png"));
    logo->setAlignment(Qt::AlignCenter);

    Label1 = new QLabel("Atualizador", Panel1);
    Label1->setObjectName("Label1");
    Label1->setGeometry(kLogoWidth, 0, kWidth - kLogoWidth - kCloseWidth, kTitleHeight);
    Label1->setContentsMargins(0, 0, 50, 6);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(pixelFont(15, "Segoe UI"));
    setTextColour(Label1, QColor(225, 225, 225));
    Label1->installEventFilter(this);

    auto* close = new QPushButton(QString::fromUtf8("\u2715"), Panel1);
    close->setObjectName("AdvTBSair");
    close->setGeometry(kWidth - kCloseWidth, 1, kCloseWidth, kTitleHeight - 2);
    close->setFont(pixelFont(17));
    close->setFlat(true);
    close->setCursor(Qt::PointingHandCursor);
    close->setToolTip("Fechar a Aplicação");
    close->setStyleSheet(
        "QPushButton { background-color: rgb(53,53,53); color: white; border: none; }"
        "QPushButton:hover { background-color: red; }"
        "QPushButton:pressed { background-color: grey; }");
    connect(close, &QPushButton::clicked, this, &MainWindow::AdvTBSairClick);
}

QWidget* MainWindow::buildCheckPage() {
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");
    addPicture(page, "Image1", ":/pictures/verificar.png", centred(45, 140, 138));
    btnBuscaAtualizacao = addButton(page, "btnBuscaAtualizacao", "Verificar se há atualizações",
                                    centred(215, 241, 60));
    connect(btnBuscaAtualizacao, &QPushButton::clicked, this,
            [this] { form_->btnBuscaAtualizacaoClick(); });
    lblVersaoInstalador =
        addLabel(page, "lblVersaoInstalador", "", QRect(kWidth - 250, 335, 240, 18), 11,
                 Qt::AlignRight | Qt::AlignVCenter);
    setTextColour(lblVersaoInstalador, Qt::gray);
    return page;
}

QWidget* MainWindow::buildNotesPage() {
    auto* page = new QWidget;
    page->setObjectName("TabSheet2");
    addLabel(page, "lblTitulo", "Uma nova versão do sistema está disponível",
             QRect(10, 10, kWidth - 20, 24), 16);
    lblVersaoAtual = addLabel(page, "lblVersaoAtual", "", QRect(10, 38, kWidth - 20, 16), 12);
    lblVersaoNova = addLabel(page, "lblVersaoNova", "", QRect(10, 56, kWidth - 20, 16), 12);
    setTextColour(lblVersaoAtual, QColor(81, 81, 81));
    setTextColour(lblVersaoNova, QColor(81, 81, 81));

    constexpr int kStripHeight = 44;
    const int stripTop = kHeight - kTitleHeight - kStripHeight;
    MemoNovidades = new QPlainTextEdit(page);
    MemoNovidades->setObjectName("MemoNovidades");
    MemoNovidades->setGeometry(10, 80, kWidth - 20, stripTop - 80 - 10);
    MemoNovidades->setReadOnly(true);
    MemoNovidades->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoNovidades->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // long lines wrap
    MemoNovidades->setFont(pixelFont(13));

    auto* strip = new QFrame(page);
    strip->setObjectName("pnlBotao");
    strip->setGeometry(0, stripTop, kWidth, kStripHeight);
    lblProgresso = addLabel(strip, "lblProgresso", "Progresso..", centred(2, 455, 18), 15);
    PBDownload = new QProgressBar(strip);
    PBDownload->setObjectName("PBDownload");
    PBDownload->setGeometry(centred(23, 455, 16));
    PBDownload->setTextVisible(false);
    btnAtualizacao =
        addButton(strip, "btnAtualizacao", "Instalar nova versão", centred(3, 201, 37));
    connect(btnAtualizacao, &QPushButton::clicked, this, [this] { form_->btnAtualizacaoClick(); });
    showProgressControls(false);
    return page;
}

QWidget* MainWindow::buildSuccessPage() {
    auto* page = new QWidget;
    page->setObjectName("TabSucesso");
    addPicture(page, "Image2", ":/pictures/sucesso.png", centred(45, 113, 108));
    addLabel(page, "Label2", QString::fromUtf8(kMensagemSucesso.data(), kMensagemSucesso.size()),
             centred(168, kWidth, 28), 17);
    auto* BitBtn1 = addButton(page, "BitBtn1", "Abrir o Sistema", centred(215, 241, 60));
    connect(BitBtn1, &QPushButton::clicked, this, [this] { form_->BitBtn1Click(); });
    return page;
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        form_->FormShow();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Label1)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        Label1MouseDown(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    case QEvent::MouseMove:
        if (manualDrag_)
            move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - dragOffset_);
        return manualDrag_;
    case QEvent::MouseButtonRelease:
        manualDrag_ = false;
        return true;
    default:
        return false;
    }
}

// Any mouse button on the title text moves the window. A window manager does it best; without
// one (a bare X server, the offscreen platform) the window follows the mouse itself.
void MainWindow::Label1MouseDown(QPoint globalPosition) {
    if (QWindow* window = windowHandle(); window && window->startSystemMove())
        return;
    manualDrag_ = true;
    dragOffset_ = globalPosition - frameGeometry().topLeft();
}

void MainWindow::AdvTBSairClick() { QCoreApplication::quit(); }

void MainWindow::showPage(Page page) { PageControl1->setCurrentIndex(static_cast<int>(page)); }

void MainWindow::setText(Text control, const std::string& text) {
    switch (control) {
    case Text::CheckButton: btnBuscaAtualizacao->setText(qs(text)); break;
    case Text::InstallerVersion: lblVersaoInstalador->setText(qs(text)); break;
    case Text::CurrentVersion: lblVersaoAtual->setText(qs(text)); break;
    case Text::NewVersion: lblVersaoNova->setText(qs(text)); break;
    case Text::Progress: lblProgresso->setText(qs(text)); break;
    }
}

void MainWindow::setReleaseNotes(const std::vector<std::string>& lines) {
    MemoNovidades->clear();
    for (const auto& line : lines)
        MemoNovidades->appendPlainText(qs(line));
}

void MainWindow::showProgressControls(bool visible) {
    btnAtualizacao->setVisible(!visible);
    lblProgresso->setVisible(visible);
    PBDownload->setVisible(visible);
}

// Qt draws a bar whose range is 0..0 as a busy indicator; an empty bar is what a file too
// small to count in KiB should show.
void MainWindow::setProgressMax(int max) { PBDownload->setRange(0, std::max(max, 1)); }

void MainWindow::setProgressPosition(int position) {
    PBDownload->setValue(std::clamp(position, 0, PBDownload->maximum()));
}

void MainWindow::showMessage(const std::string& text) { messageBox(QMessageBox::NoIcon, text); }

void MainWindow::showError(const std::string& text) { messageBox(QMessageBox::Critical, text); }

void MainWindow::messageBox(QMessageBox::Icon icon, const std::string& text) {
    QMessageBox box(icon, kCaption, qs(crToLineBreaks(text)), QMessageBox::Ok, this);
    box.button(QMessageBox::Ok)->setText("OK");
    box.exec();
}

bool MainWindow::askYesNo(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Question, qs(caption), qs(crToLineBreaks(text)),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.button(QMessageBox::Yes)->setText("Sim");
    box.button(QMessageBox::No)->setText("Não");
    return box.exec() != QMessageBox::No;
}

void MainWindow::processMessages() { QCoreApplication::processEvents(); }

} // namespace app
