#include "engine/dbcMsg.h"
#include "engine/dbcMsgMngr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dbc;

TEST(MsgManager, CountsAndSummary) {
    TMsgManager messages;
    EXPECT_EQ(messages.ErrCount(), 0);
    EXPECT_FALSE(messages.IsErr());
    EXPECT_FALSE(messages.IsMsg());
    messages.AddMsg("first", mt_Err);
    messages.AddScriptMsg("careful", "script.sql", 4, 12, mt_Wrn);
    messages.AddObjMsg("second", nullptr, 1, 2, mt_Err);
    messages.AddMsg("note", mt_Inf);
    EXPECT_EQ(messages.MsgCount(), 4);
    EXPECT_EQ(messages.ErrCount(), 2);
    EXPECT_EQ(messages.WrnCount(), 1);
    EXPECT_EQ(messages.InfCount(), 1);
    EXPECT_EQ(messages.Get_MsgCount({mt_Err, mt_Wrn}), 3);
    EXPECT_TRUE(messages.IsErr());
    EXPECT_TRUE(messages.IsWrn());
    EXPECT_TRUE(messages.IsInf());
    EXPECT_EQ(messages.ErrSummary(), "first\r\nsecond");
    const TMsgData& script = *messages.Messages()[1];
    EXPECT_EQ(script.FileName, "script.sql");
    EXPECT_EQ(script.PosX, 4);
    EXPECT_EQ(script.PosY, 12);
    messages.Clear();
    EXPECT_EQ(messages.ErrSummary(), "");
    EXPECT_EQ(messages.MsgCount(), 0);
}

TEST(MsgManager, CopyFromAppendsIndependentCopies) {
    TMsgManager source;
    source.AddMsg("a", mt_Err);
    source.AddMsg("b", mt_Wrn);
    source.AddScriptMsg("c", "f.sql", 1, 2, mt_Inf);
    TMsgManager copy;
    copy.AddMsg("own", mt_Inf);
    copy.CopyFrom(nullptr);
    EXPECT_EQ(copy.MsgCount(), 1);
    copy.CopyFrom(&source);
    source.Clear();
    ASSERT_EQ(copy.MsgCount(), 4);
    EXPECT_EQ(copy.Messages()[3]->Msg, "c");
    EXPECT_EQ(copy.Messages()[3]->FileName, "f.sql");
    copy.CopyFrom(&copy);
    EXPECT_EQ(copy.MsgCount(), 8);
}

TEST(MsgHooks, DefaultWritesToStandardErrorAndHooksReplaceIt) {
    testing::internal::CaptureStderr();
    ShowMessage("no window here");
    ProcessMessages();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "no window here\n");

    std::vector<std::string> shown;
    int pumped = 0;
    ShowMessageHook previousShow = SetShowMessageHook([&](const std::string& text) { shown.push_back(text); });
    ProcessMessagesHook previousPump = SetProcessMessagesHook([&] { ++pumped; });
    ShowMessage("boxed");
    ProcessMessages();
    SetShowMessageHook(previousShow);
    SetProcessMessagesHook(previousPump);
    EXPECT_EQ(shown, std::vector<std::string>{"boxed"});
    EXPECT_EQ(pumped, 1);
}
