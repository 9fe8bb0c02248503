#include "app/ConsoleView.h"

#include "app/TextUtil.h"

#include <istream>
#include <ostream>

namespace app {

ConsoleView::ConsoleView(std::ostream& out, std::istream& in, bool answerYes)
    : out_(out), in_(in), answerYes_(answerYes) {
    texts_[static_cast<std::size_t>(Text::CheckButton)] = "Verificar se há atualizações";
    texts_[static_cast<std::size_t>(Text::Progress)] = "Progresso..";
}

void ConsoleView::showPage(Page page) {
    page_ = page;
    switch (page) {
    case Page::Check: return;
    case Page::Notes:
        out_ << text(Text::CurrentVersion) << '\n' << text(Text::NewVersion) << '\n';
        for (const auto& line : releaseNotes_)
            out_ << line << '\n';
        break;
    case Page::Success: out_ << kMensagemSucesso << '\n'; break;
    }
    out_.flush();
}

void ConsoleView::setText(Text control, const std::string& text) {
    std::string& shown = texts_[static_cast<std::size_t>(control)];
    if (control == Text::Progress && !text.empty() && text != shown)
        out_ << text << std::endl;
    shown = text;
}

void ConsoleView::setReleaseNotes(const std::vector<std::string>& lines) { releaseNotes_ = lines; }

void ConsoleView::showProgressControls(bool visible) { progressVisible_ = visible; }

void ConsoleView::setProgressMax(int max) { progressMax_ = max; }

void ConsoleView::setProgressPosition(int position) { progressPosition_ = position; }

void ConsoleView::showMessage(const std::string& text) {
    out_ << crToLineBreaks(text) << std::endl;
}

void ConsoleView::showError(const std::string& text) { showMessage(text); }

bool ConsoleView::askYesNo(const std::string& caption, const std::string& text) {
    out_ << caption << ": " << crToLineBreaks(text) << '\n';
    if (answerYes_) {
        out_ << "[s/n] s" << std::endl;
        return true;
    }
    for (;;) {
        out_ << "[s/n] " << std::flush;
        std::string answer;
        // No answer at all (end of input) is taken as No: nothing runs without consent.
        if (!std::getline(in_, answer)) {
            out_ << std::endl;
            return false;
        }
        answer = lowerCaseAscii(answer);
        if (answer == "s" || answer == "sim")
            return true;
        if (answer == "n" || answer == "não" || answer == "nao")
            return false;
    }
}

} // namespace app
