#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

// The window's pages, in the order of its page control.
enum class Page {
    Check = 0,   // TabSheet1: the check button
    Notes = 1,   // TabSheet2: versions, release notes and the install button
    Success = 2, // TabSucesso: installation done, "Abrir o Sistema"
};

// What the success page says (Label2).
inline constexpr std::string_view kMensagemSucesso = "Atualização realizada com sucesso!";

// The texts the update flows change.
enum class Text {
    CheckButton,      // btnBuscaAtualizacao
    InstallerVersion, // lblVersaoInstalador
    CurrentVersion,   // lblVersaoAtual
    NewVersion,       // lblVersaoNova
    Progress,         // lblProgresso
};

// What the update flows see of the window. The Qt window implements it for the operator; the
// console view implements it for the unattended mode and the tests. Message texts break their
// lines with "\r".
class UpdaterView {
public:
    virtual ~UpdaterView() = default;

    virtual void showPage(Page page) = 0;
    virtual void setText(Text control, const std::string& text) = 0;
    // Replaces the lines of the release-notes memo.
    virtual void setReleaseNotes(const std::vector<std::string>& lines) = 0;
    // Page 1's bottom strip: true shows the progress label and bar in place of the install
    // button, false shows the button again and hides them.
    virtual void showProgressControls(bool visible) = 0;
    virtual void setProgressMax(int max) = 0;
    virtual void setProgressPosition(int position) = 0;

    // A modal information box with an "OK" button.
    virtual void showMessage(const std::string& text) = 0;
    // A failure that no step handled, shown as the toolkit shows an unhandled exception.
    virtual void showError(const std::string& text) = 0;
    // A modal question with "Sim" and "Não"; false only when the operator answered "Não".
    virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;

    // Lets the window repaint and handle input in the middle of a long step.
    virtual void processMessages() = 0;
};

} // namespace app
