#pragma once

#include "app/UpdaterView.h"

#include <array>
#include <iosfwd>

namespace app {

// The updater without a window. It keeps what the window would show, and writes to out what
// the operator must read: every message-box text; the two version labels and the release
// notes when the page with an update is shown; each new text of the progress label, so a
// download shows a line per whole per cent; and the success page's text. Questions are asked
// on in, unless every answer is Yes.
class ConsoleView final : public UpdaterView {
public:
    ConsoleView(std::ostream& out, std::istream& in, bool answerYes);

    void showPage(Page page) override;
    void setText(Text control, const std::string& text) override;
    void setReleaseNotes(const std::vector<std::string>& lines) override;
    void showProgressControls(bool visible) override;
    void setProgressMax(int max) override;
    void setProgressPosition(int position) override;
    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;
    bool askYesNo(const std::string& caption, const std::string& text) override;
    void processMessages() override {}

    Page page() const { return page_; }
    const std::string& text(Text control) const {
        return texts_[static_cast<std::size_t>(control)];
    }
    const std::vector<std::string>& releaseNotes() const { return releaseNotes_; }
    bool progressControlsVisible() const { return progressVisible_; }
    int progressMax() const { return progressMax_; }
    int progressPosition() const { return progressPosition_; }

private:
    std::ostream& out_;
    std::istream& in_;
    bool answerYes_;
    Page page_ = Page::Check;
    std::array<std::string, 5> texts_;
    std::vector<std::string> releaseNotes_;
    bool progressVisible_ = false;
    int progressMax_ = 0;
    int progressPosition_ = 0;
};

} // namespace app
