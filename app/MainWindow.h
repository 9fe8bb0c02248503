#pragma once

#include "app/UpdaterView.h"
#include "app/uAtualizadorAutomatico.h"

#include <QMessageBox>
#include <QPoint>
#include <QWidget>

#include <memory>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace app {

// The updater's window: a borderless 489 x 392 form with a title strip and three pages that
// only the flows switch. It owns the form with the flows and shows what they report. The
// widgets carry the object names of the form's design ("btnBuscaAtualizacao", ...).
class MainWindow final : public QWidget, public UpdaterView {
    Q_OBJECT

public:
    explicit MainWindow(UpdaterSettings settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    void showPage(Page page) override;
    void setText(Text control, const std::string& text) override;
    void setReleaseNotes(const std::vector<std::string>& lines) override;
    void showProgressControls(bool visible) override;
    void setProgressMax(int max) override;
    void setProgressPosition(int position) override;
    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;
    bool askYesNo(const std::string& caption, const std::string& text) override;
    void processMessages() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTitleStrip();
    QWidget* buildCheckPage();
    QWidget* buildNotesPage();
    QWidget* buildSuccessPage();
    void Label1MouseDown(QPoint globalPosition);
    void AdvTBSairClick();
    void messageBox(QMessageBox::Icon icon, const std::string& text);

    QLabel* Label1 = nullptr;
    QStackedWidget* PageControl1 = nullptr;
    QPushButton* btnBuscaAtualizacao = nullptr;
    QLabel* lblVersaoInstalador = nullptr;
    QLabel* lblVersaoAtual = nullptr;
    QLabel* lblVersaoNova = nullptr;
    QPlainTextEdit* MemoNovidades = nullptr;
    QLabel* lblProgresso = nullptr;
    QProgressBar* PBDownload = nullptr;
    QPushButton* btnAtualizacao = nullptr;

    bool manualDrag_ = false; // the platform could not move the window itself
    QPoint dragOffset_;       // press position relative to the window's top-left corner

    std::unique_ptr<TfrmAtualizadorAutomatico> form_;
};

} // namespace app
