// The console view: what reaches standard output, and the questions asked on the terminal.

#include "app/ConsoleView.h"
#include "app/uAtualizadorAutomatico.h"
#include "engine/dbcMsg.h"

#include <gtest/gtest.h>

#include <sstream>

namespace app {
namespace {

struct Console {
    explicit Console(const std::string& input = "", bool answerYes = false)
        : in(input), view(out, in, answerYes) {}
    std::ostringstream out;
    std::istringstream in;
    ConsoleView view;
};

TEST(ConsoleViewTest, MessagesBreakLinesAtEveryCarriageReturn) {
    Console console;
    console.view.showMessage("Erro ao baixar arquivos da atualização\r\rmotivo");
    console.view.showError("'1a' is not a valid integer value");
    EXPECT_EQ(console.out.str(), "Erro ao baixar arquivos da atualização\n\nmotivo\n"
                                 "'1a' is not a valid integer value\n");
}

TEST(ConsoleViewTest, PageWithAnUpdatePrintsVersionsAndNotes) {
    Console console;
    console.view.setText(Text::CurrentVersion, "ATUAL: 1.0.0.9");
    console.view.setText(Text::NewVersion, "NOVA: 1.0.0.10");
    console.view.setText(Text::CheckButton, "Localizando servidor...");
    console.view.setReleaseNotes({"Histórico de versões", "", "- Correção"});
    console.view.showPage(Page::Check);
    EXPECT_EQ(console.out.str(), "");
    console.view.showPage(Page::Notes);
    EXPECT_EQ(console.out.str(), "ATUAL: 1.0.0.9\nNOVA: 1.0.0.10\nHistórico de versões\n\n- Correção\n");
    EXPECT_EQ(console.view.page(), Page::Notes);
    EXPECT_EQ(console.view.text(Text::CheckButton), "Localizando servidor...");
}

// A download sets the label on every progress event; a line appears only when its text changes,
// that is once per whole per cent.
TEST(ConsoleViewTest, ProgressLabelPrintsEachNewText) {
    Console console;
    for (const char* text : {"Baixando arquivos 0%", "Baixando arquivos 0%", "Baixando arquivos 1%",
                             "Baixando arquivos 1%", "Baixando arquivos 100%", "",
                             "Descompactando arquivos...", "Descompactando arquivos..."})
        console.view.setText(Text::Progress, text);
    EXPECT_EQ(console.out.str(), "Baixando arquivos 0%\nBaixando arquivos 1%\n"
                                 "Baixando arquivos 100%\nDescompactando arquivos...\n");
    EXPECT_EQ(console.view.text(Text::Progress), "Descompactando arquivos...");
}

TEST(ConsoleViewTest, SuccessPagePrintsItsText) {
    Console console;
    console.view.showPage(Page::Success);
    EXPECT_EQ(console.out.str(), "Atualização realizada com sucesso!\n");
    EXPECT_EQ(console.view.page(), Page::Success);
}

TEST(ConsoleViewTest, KeepsTheStateOfTheProgressControls) {
    Console console;
    EXPECT_EQ(console.view.text(Text::Progress), "Progresso..");
    EXPECT_FALSE(console.view.progressControlsVisible());
    console.view.showProgressControls(true);
    console.view.setProgressMax(10);
    console.view.setProgressPosition(4);
    EXPECT_TRUE(console.view.progressControlsVisible());
    EXPECT_EQ(console.view.progressMax(), 10);
    EXPECT_EQ(console.view.progressPosition(), 4);
    EXPECT_EQ(console.out.str(), "");
}

TEST(ConsoleViewTest, QuestionsAreAnsweredOnTheTerminal) {
    struct Case {
        const char* input;
        bool answer;
    };
    for (const Case& c : {Case{"s\n", true}, Case{"SIM\n", true}, Case{"n\n", false},
                          Case{"nao\n", false}, Case{"talvez\nN\n", false}, Case{"", false}}) {
        Console console(c.input);
        EXPECT_EQ(console.view.askYesNo("Confirmação", "Deseja continuar?"), c.answer) << c.input;
        EXPECT_TRUE(console.out.str().starts_with("Confirmação: Deseja continuar?\n[s/n] "));
    }
}

TEST(ConsoleViewTest, AnswerYesAsksNothing) {
    Console console("n\n", /*answerYes=*/true);
    EXPECT_TRUE(console.view.askYesNo("Confirmação", "Linha 1\r\rDeseja continuar?"));
    EXPECT_EQ(console.out.str(), "Confirmação: Linha 1\n\nDeseja continuar?\n[s/n] s\n");
}

// The engine shows its messages through the form's view while the form lives, and through
// whatever handled them before once it is gone.
TEST(ConsoleViewTest, EngineMessagesGoToTheFormsViewWhileItLives) {
    std::string before;
    const auto previous = dbc::SetShowMessageHook([&](const std::string& text) { before += text; });
    {
        Console console;
        TfrmAtualizadorAutomatico form(console.view, UpdaterSettings{});
        dbc::ShowMessage("Error: Unknown statement\r\rScript: x.sql");
        dbc::ProcessMessages();
        EXPECT_EQ(console.out.str(), "Error: Unknown statement\n\nScript: x.sql\n");
    }
    dbc::ShowMessage("after");
    EXPECT_EQ(before, "after");
    dbc::SetShowMessageHook(previous);
}

} // namespace
} // namespace app
