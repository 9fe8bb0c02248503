// The window under Qt's offscreen platform: its pages, texts, message boxes, dragging and the
// close button. Set KV_SCREENSHOT_DIR to a folder to keep a picture of each page there.

#include "app/MainWindow.h"
#include "platform/Network.h"
#include "platform/Processes.h"
#include "UpdaterTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

// Readable texts in failure messages.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace app {
namespace {

// Answers the next modal message box with the given button, and keeps what it showed. Lives on
// the test's stack, so its timer never outlives the test.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton answer) {
        QObject::connect(&timer_, &QTimer::timeout, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == last_)
                return;
            last_ = box;
            ++answered;
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            buttons.clear();
            for (QAbstractButton* button : box->buttons())
                buttons << button->text();
            if (QAbstractButton* button = box->button(answer))
                QTest::mouseClick(button, Qt::LeftButton);
            else
                box->reject();
        });
        timer_.start(10);
    }

    int answered = 0;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;

private:
    QTimer timer_;
    QPointer<QMessageBox> last_;
};

UpdaterSettings settingsWithoutConfig(const std::string& ownExecutable = "") {
    return {"/nonexistent/CONFIG.ini", ownExecutable, {}, [] { return true; }};
}

template <typename T> T* child(const QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

QString labelText(const QWidget& window, const char* name) {
    return child<QLabel>(window, name)->text();
}

void saveScreenshot(QWidget& window, const char* name) {
    const QByteArray dir = qgetenv("KV_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(dir) + "/" + name));
    }
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
    const QPoint global = widget->mapToGlobal(local);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Presses on a widget, moves the mouse by offset and lets go.
void drag(QWidget* widget, QPoint offset) {
    const QPoint start(10, 10);
    sendMouse(widget, QEvent::MouseButtonPress, start, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseMove, start + offset, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, start + offset, Qt::NoButton);
}

TEST(WindowTest, StartsOnTheCheckPageWithoutTabHeaders) {
    MainWindow window(settingsWithoutConfig());
    window.show();

    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.size(), QSize(489, 392));
    EXPECT_EQ(window.windowTitle(), "Atualização do sistema");
    auto* pages = child<QStackedWidget>(window, "PageControl1");
    EXPECT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->currentWidget()->objectName(), "TabSheet1");
    EXPECT_TRUE(window.findChildren<QTabBar*>().isEmpty());
    EXPECT_EQ(labelText(window, "Label1"), "Atualizador");
    EXPECT_EQ(child<QPushButton>(window, "btnBuscaAtualizacao")->text(),
              "Verificar se há atualizações");
    // This test program carries no version of its own.
    EXPECT_EQ(labelText(window, "lblVersaoInstalador"), "v. ");
    EXPECT_FALSE(child<QLabel>(window, "imgLogotipo")->pixmap().isNull());
    EXPECT_FALSE(child<QLabel>(window, "Image1")->pixmap().isNull());
}

TEST(WindowTest, VersionLabelShowsTheUpdatersOwnVersion) {
    MainWindow window(settingsWithoutConfig(KELVANTRA_EXE));
    window.show();
    EXPECT_EQ(labelText(window, "lblVersaoInstalador"), "v. " KELVANTRA_VERSION);
    saveScreenshot(window, "page0.png");
}

TEST(WindowTest, NotesPageStartsWithTheInstallButtonAndSwitchesToProgress) {
    MainWindow window(settingsWithoutConfig());
    window.show();
    window.showPage(Page::Notes);
    auto* page = child<QWidget>(window, "TabSheet2");
    auto* install = child<QPushButton>(window, "btnAtualizacao");
    auto* progress = child<QLabel>(window, "lblProgresso");
    auto* bar = child<QProgressBar>(window, "PBDownload");
    EXPECT_TRUE(install->isVisibleTo(page));
    EXPECT_FALSE(progress->isVisibleTo(page));
    EXPECT_FALSE(bar->isVisibleTo(page));

    window.showProgressControls(true);
    window.setProgressMax(40);
    window.setProgressPosition(10);
    window.setText(Text::Progress, "Baixando arquivos 25%");
    EXPECT_FALSE(install->isVisibleTo(page));
    EXPECT_TRUE(progress->isVisibleTo(page));
    EXPECT_EQ(progress->text(), "Baixando arquivos 25%");
    EXPECT_EQ(bar->maximum(), 40);
    EXPECT_EQ(bar->value(), 10);

    window.showProgressControls(false);
    EXPECT_TRUE(install->isVisibleTo(page));
    EXPECT_FALSE(bar->isVisibleTo(page));
}

TEST(WindowTest, SuccessPage) {
    MainWindow window(settingsWithoutConfig());
    window.show();
    window.showPage(Page::Success);
    EXPECT_EQ(child<QStackedWidget>(window, "PageControl1")->currentWidget()->objectName(),
              "TabSucesso");
    EXPECT_EQ(labelText(window, "Label2"), "Atualização realizada com sucesso!");
    EXPECT_EQ(child<QPushButton>(window, "BitBtn1")->text(), "Abrir o Sistema");
}

TEST(WindowTest, MessageBoxesSpeakPortuguese) {
    MainWindow window(settingsWithoutConfig());
    window.show();
    {
        MessageBoxAnswerer answerer(QMessageBox::Ok);
        window.showMessage("Erro ao baixar arquivos da atualização\r\rmotivo");
        EXPECT_EQ(answerer.answered, 1);
        EXPECT_EQ(answerer.text, "Erro ao baixar arquivos da atualização\n\nmotivo");
        EXPECT_EQ(answerer.buttons, QStringList{"OK"});
        EXPECT_EQ(answerer.icon, QMessageBox::NoIcon);
    }
    {
        MessageBoxAnswerer answerer(QMessageBox::Ok);
        window.showError("'1a' is not a valid integer value");
        EXPECT_EQ(answerer.icon, QMessageBox::Critical);
        EXPECT_EQ(answerer.buttons, QStringList{"OK"});
    }
    for (const auto& [answer, expected] :
         {std::pair{QMessageBox::Yes, true}, std::pair{QMessageBox::No, false}}) {
        MessageBoxAnswerer answerer(answer);
        EXPECT_EQ(window.askYesNo("Confirmação", "Deseja continuar?"), expected);
        EXPECT_EQ(answerer.title, "Confirmação");
        EXPECT_EQ(answerer.icon, QMessageBox::Question);
        EXPECT_EQ(answerer.buttons.size(), 2);
        EXPECT_TRUE(answerer.buttons.contains("Sim"));
        EXPECT_TRUE(answerer.buttons.contains("Não"));
    }
}

TEST(WindowTest, DraggingTheTitleTextMovesTheWindow) {
    MainWindow window(settingsWithoutConfig());
    window.show();
    window.move(100, 100);
    const QPoint start = window.pos();

    drag(child<QLabel>(window, "imgLogotipo"), {40, 20}); // not the title text
    EXPECT_EQ(window.pos(), start);

    drag(child<QLabel>(window, "Label1"), {50, 30});
    EXPECT_EQ(window.pos(), start + QPoint(50, 30));

    sendMouse(child<QLabel>(window, "Label1"), QEvent::MouseMove, {90, 90}, Qt::NoButton);
    EXPECT_EQ(window.pos(), start + QPoint(50, 30)) << "the window follows the mouse after release";
}

TEST(WindowTest, CloseButtonEndsTheApplication) {
    MainWindow window(settingsWithoutConfig());
    window.show();
    auto* close = child<QPushButton>(window, "AdvTBSair");
    EXPECT_EQ(close->toolTip(), "Fechar a Aplicação");
    QTimer::singleShot(0, close, [close] { QTest::mouseClick(close, Qt::LeftButton); });
    QTimer watchdog;
    watchdog.callOnTimeout([] { QCoreApplication::exit(99); });
    watchdog.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
}

class WindowCheckTest : public testing::Test {
protected:
    void SetUp() override {
        if (!platform::isNetworkConnected())
            GTEST_SKIP() << "this machine has no network interface up";
    }
    UpdaterSettings settings() const {
        return {site.configFile().string(), "", {}, platform::isNetworkConnected};
    }
    apptest::SampleSite site;
};

TEST_F(WindowCheckTest, CheckButtonShowsTheNewVersionAndItsNotes) {
    site.publishVersions("1.0.0.10", "1.0.0.13");
    site.publish("novidades.txt", "Versão 1.0.0.10 - 10/12/2026\r\n"
                                  "- Emissão de NF-e com o novo leiaute\r\n"
                                  "- Relatório de vendas por vendedor\r\n"
                                  "\r\n"
                                  "Versão 1.0.0.9\r\n"
                                  "- Correção no cálculo do ICMS-ST\r\n");
    MainWindow window(settings());
    window.show();
    QTest::mouseClick(child<QPushButton>(window, "btnBuscaAtualizacao"), Qt::LeftButton);

    EXPECT_EQ(child<QStackedWidget>(window, "PageControl1")->currentWidget()->objectName(),
              "TabSheet2");
    EXPECT_EQ(labelText(window, "lblTitulo"), "Uma nova versão do sistema está disponível");
    EXPECT_EQ(labelText(window, "lblVersaoAtual"), "ATUAL: Servidor 1.0.0.12 - Cliente 1.0.0.9");
    EXPECT_EQ(labelText(window, "lblVersaoNova"), "NOVA:  Servidor 1.0.0.13 - Cliente 1.0.0.10");
    EXPECT_EQ(child<QPlainTextEdit>(window, "MemoNovidades")->toPlainText(),
              "Histórico de versões\n\n"
              "Versão 1.0.0.10 - 10/12/2026\n"
              "- Emissão de NF-e com o novo leiaute\n"
              "- Relatório de vendas por vendedor\n"
              "\n"
              "Versão 1.0.0.9\n"
              "- Correção no cálculo do ICMS-ST");
    auto* page = child<QWidget>(window, "TabSheet2");
    EXPECT_TRUE(child<QPushButton>(window, "btnAtualizacao")->isVisibleTo(page));
    EXPECT_FALSE(child<QProgressBar>(window, "PBDownload")->isVisibleTo(page));
    saveScreenshot(window, "page1.png");
}

TEST_F(WindowCheckTest, UpToDateIsToldInAMessageBoxAndTheFirstPageStays) {
    site.publishVersions("1.0.0.9", "1.0.0.12");
    MainWindow window(settings());
    window.show();
    MessageBoxAnswerer answerer(QMessageBox::Ok);
    auto* button = child<QPushButton>(window, "btnBuscaAtualizacao");
    QTest::mouseClick(button, Qt::LeftButton);

    EXPECT_EQ(answerer.answered, 1);
    EXPECT_EQ(answerer.text, "O sistema já está atualizado com a versão mais recente.");
    EXPECT_EQ(answerer.buttons, QStringList{"OK"});
    EXPECT_EQ(child<QStackedWidget>(window, "PageControl1")->currentIndex(), 0);
    EXPECT_EQ(button->text(), "Verificar se há atualizações");
}

// The steps pump window messages, so the operator can click again while a check runs; that
// click must not start a second check inside the first.
TEST_F(WindowCheckTest, ClickDuringACheckIsIgnored) {
    site.publishVersions("1.0.0.10", "1.0.0.13");
    site.publish("novidades.txt", "Versão 1.0.0.10\r\n");
    MainWindow window(settings());
    window.show();
    auto* button = child<QPushButton>(window, "btnBuscaAtualizacao");
    QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    QTest::mouseClick(button, Qt::LeftButton);

    EXPECT_EQ(child<QStackedWidget>(window, "PageControl1")->currentIndex(), 1);
    const auto log = apptest::logTexts(site.log());
    EXPECT_EQ(std::count(log.begin(), log.end(), "Início da atualização"), 1)
        << testing::PrintToString(log);
}

QString currentPage(const QWidget& window) {
    return child<QStackedWidget>(window, "PageControl1")->currentWidget()->objectName();
}

// The whole flow in the window: the check, "Instalar nova versão" confirmed with "Sim", the
// success page, and "Abrir o Sistema" starting the new server and client.
TEST(WindowInstallTest, InstallButtonInstallsAndOpenTheSystemStartsIt) {
    apptest::InstallSite site;
    site.publishArchive({{"SCRIPT.txt", "CREATE TABLE PRODUTOS (ID INTEGER)\r\n"}});
    apptest::ChildProcess client(site.installed(site.clientName()));
    MainWindow window({site.configFile().string(), "", {}, [] { return true; }, 10});
    window.show();
    QTest::mouseClick(child<QPushButton>(window, "btnBuscaAtualizacao"), Qt::LeftButton);
    ASSERT_EQ(currentPage(window), "TabSheet2");
    {
        MessageBoxAnswerer answerer(QMessageBox::Yes);
        QTest::mouseClick(child<QPushButton>(window, "btnAtualizacao"), Qt::LeftButton);
        EXPECT_EQ(answerer.answered, 1) << "only the confirmation was asked";
        EXPECT_EQ(answerer.title, "Confirmação");
    }
    EXPECT_EQ(currentPage(window), "TabSucesso");
    EXPECT_EQ(client.waitForExit(), 0) << "the running client was ended";
    EXPECT_EQ(site.query("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'PRODUTOS'"),
              "1");
    saveScreenshot(window, "page2.png");

    QTest::mouseClick(child<QPushButton>(window, "BitBtn1"), Qt::LeftButton);
    EXPECT_EQ(platform::terminateProcessesByName(site.serverName()), 1);
    EXPECT_EQ(platform::terminateProcessesByName(site.clientName()), 1);
}

} // namespace
} // namespace app

int main(int argc, char** argv) {
    // Also for the test discovery at build time, which runs this program without the test's
    // environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
