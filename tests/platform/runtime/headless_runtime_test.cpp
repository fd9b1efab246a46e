#include "platform/runtime/headless/headless_runtime.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/pixels/runtime_error.h"
#include "tests/support/mini_layout.h"

namespace vimbrel {
namespace {

class HeadlessRuntimeTest : public ::testing::Test {
 protected:
  HeadlessRuntimeTest() : rt(test::mini_layout()) {
    rt.CREATEWINDOW(form3, "FORM3", -1);
    rt.set_event_table({
        {"BUTTON53_ON", [this](const EventArgs&) { log.push_back("BUTTON53_ON"); }},
        {"RADIO7_ON", [this](const EventArgs&) { log.push_back("RADIO7_ON"); }},
        {"VSCROLL2_CHANGE",
         [this](const EventArgs&) {
           log.push_back("VSCROLL2_CHANGE " + std::to_string(rt.GETSCROLLPOS(bar())));
         }},
        {"PICTURE1_MOUSEMOVE",
         [this](const EventArgs& e) {
           log.push_back("move " + std::to_string(e.button) + " " + std::to_string(static_cast<int>(e.x)));
         }},
        {"LIST1_CHANGE", [this](const EventArgs&) { throw RuntimeError{7}; }},
    });
  }
  Window bar() const { return rt.GETDLGITEM(form3, "VSCROLL2"); }

  HeadlessRuntime rt;
  Window form3;
  std::vector<std::string> log;
};

// Procedures registered under their own identifiers, with the log as their context.
void BUTTON53_ON(std::vector<std::string>& log, Window) {
  log.push_back("BUTTON53_ON");
}
void PICTURE1_MOUSEMOVE(std::vector<std::string>& log, const EventArgs& e) {
  log.push_back("move " + std::to_string(e.button));
}

TEST_F(HeadlessRuntimeTest, AnEventTableNamingWhatNoControlRaisesIsRefused) {
  EventTable table;
  VIMBREL_EVENT(table, log, BUTTON53_ON);
  VIMBREL_EVENT(table, log, PICTURE1_MOUSEMOVE);
  EXPECT_THROW(VIMBREL_EVENT(table, log, BUTTON53_ON), std::invalid_argument);  // added twice
  rt.set_event_table(table);
  for (const char* wrong : {"BUTON53_ON", "BUTTON53_CHANGE", "LIST1_ON", "EDIT1_CHANGE", "FORM3_END",
                            "MAINFORM_MOUSEDOWN", "button53_ON", "BUTTON53", "HSCROLL1_MOUSEMOVE"}) {
    EventTable t = table;
    t[wrong] = [](const EventArgs&) {};
    EXPECT_THROW(rt.set_event_table(std::move(t)), std::invalid_argument) << wrong;
  }
  rt.set_event_table({{"MAINFORM_RESIZE", {}}, {"MAINFORM_END", {}}, {"VSCROLL2_CHANGE", {}}});
  rt.set_event_table(table);
  EXPECT_TRUE(rt.click("BUTTON53"));
  EventArgs right;
  right.button = 2;
  EXPECT_TRUE(rt.fire("PICTURE1_MOUSEMOVE", right));
  EXPECT_EQ(log, (std::vector<std::string>{"BUTTON53_ON", "move 2"}));
}

TEST_F(HeadlessRuntimeTest, NoProcedureRunsFromAThreadOtherThanTheRuntimes) {
  bool ran_elsewhere = true;
  std::thread([&] { ran_elsewhere = rt.fire("BUTTON53_ON"); }).join();
  EXPECT_FALSE(ran_elsewhere);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(rt.fire("BUTTON53_ON"));
  EXPECT_EQ(log, std::vector<std::string>{"BUTTON53_ON"});
}

TEST_F(HeadlessRuntimeTest, NamesMatchWithoutRegardToCaseAndZeroMeansTheMainForm) {
  const Window edit = rt.GETDLGITEM(form3, "Edit1");
  EXPECT_EQ(rt.name_of(edit), "EDIT1");
  EXPECT_EQ(rt.name_of(rt.GETDLGITEM(Window{}, "picture1")), "PICTURE1");
  EXPECT_THROW(rt.GETDLGITEM(form3, "PICTURE1"), RuntimeError);  // on another form
  EXPECT_THROW(rt.GETDLGITEM(form3, "NOSUCH"), RuntimeError);
}

TEST_F(HeadlessRuntimeTest, ScrollPositionsAreHeldInsideTheRangeLikeARealBar) {
  rt.SETSCROLLRANGE(bar(), 0, 99);
  rt.SETSCROLLPOS(bar(), 150);
  EXPECT_EQ(rt.GETSCROLLPOS(bar()), 99);
  rt.SETSCROLLPOS(bar(), -5);
  EXPECT_EQ(rt.GETSCROLLPOS(bar()), 0);
  rt.SETSCROLLRANGE(bar(), -40, 0);  // a bar whose range lies below zero, as the right-hand crops use
  rt.SETSCROLLPOS(bar(), -100);
  EXPECT_EQ(rt.GETSCROLLPOS(bar()), -40);
  rt.SETSCROLLPOS(bar(), 30);
  EXPECT_EQ(rt.GETSCROLLPOS(bar()), 0);
  // Shrinking the range pulls the position in.
  rt.SETSCROLLRANGE(bar(), 0, 50);
  rt.SETSCROLLPOS(bar(), 50);
  rt.SETSCROLLRANGE(bar(), 0, 10);
  EXPECT_EQ(rt.GETSCROLLPOS(bar()), 10);
}

TEST_F(HeadlessRuntimeTest, ProgramSetValuesRaiseNoEventButUserActionsDo) {
  rt.SETSCROLLPOS(bar(), 7);
  rt.SETCHECK(rt.GETDLGITEM(form3, "RADIO7"), 1);
  EXPECT_TRUE(log.empty());

  EXPECT_TRUE(rt.scroll_to("VSCROLL2", 40000));
  EXPECT_TRUE(rt.click("radio7"));
  EXPECT_EQ(log, (std::vector<std::string>{"VSCROLL2_CHANGE 32767", "RADIO7_ON"}));
  EXPECT_EQ(rt.GETCHECK(rt.GETDLGITEM(form3, "RADIO7")), 1);
  EXPECT_EQ(rt.GETCHECK(rt.GETDLGITEM(form3, "RADIO8")), 0);  // same group
}

TEST_F(HeadlessRuntimeTest, DisabledOrHiddenControlsCannotBeUsed) {
  rt.ENABLEWINDOW(rt.GETDLGITEM(form3, "BUTTON53"), 0);
  EXPECT_FALSE(rt.click("BUTTON53"));
  rt.ENABLEWINDOW(rt.GETDLGITEM(form3, "BUTTON53"), -1);
  rt.SHOWWINDOW(form3, 0);
  EXPECT_FALSE(rt.click("BUTTON53"));
  rt.SHOWWINDOW(form3, -1);
  EXPECT_TRUE(rt.click("BUTTON53"));
  EXPECT_EQ(log, std::vector<std::string>{"BUTTON53_ON"});
}

TEST_F(HeadlessRuntimeTest, DialogsAnswerFromTheQueueAndCancelWhenItIsEmpty) {
  rt.push_dialog_answer("/tmp/a.bmp");
  EXPECT_EQ(rt.WINOPENDLG(form3, "title", "/start", "filter", 0), "/tmp/a.bmp");
  EXPECT_EQ(rt.last_dialog(), (std::vector<std::string>{"title", "/start", "filter"}));
  EXPECT_EQ(rt.WINSAVEDLG(form3, "t", "x", "f", 0), std::string(1, '\x1b'));
}

TEST_F(HeadlessRuntimeTest, EditFieldsForDigitsOnlyDropOtherCharacters) {
  EXPECT_TRUE(rt.type_text("EDIT1", "1a2-3 "));
  EXPECT_EQ(rt.GETWINDOWTEXT(rt.GETDLGITEM(form3, "EDIT1")), "123");
}

TEST_F(HeadlessRuntimeTest, MouseEventsCarryButtonAndPoint) {
  EXPECT_TRUE(rt.mouse("PICTURE1", "MOUSEMOVE", kRightButton, 12.0f, 5.0f));
  EXPECT_EQ(log, std::vector<std::string>{"move 2 12"});
  EXPECT_FALSE(rt.fire("PICTURE1_MOUSEUP"));  // no such procedure: ignored
}

TEST_F(HeadlessRuntimeTest, AnUntrappedErrorIsReportedAndEndsTheProgram) {
  rt.ADDSTRING(rt.GETDLGITEM(form3, "LIST1"), "row");
  EXPECT_TRUE(rt.select_row("LIST1", 0));
  ASSERT_EQ(rt.untrapped().size(), 1u);
  EXPECT_EQ(rt.untrapped()[0].code, 7);
  EXPECT_EQ(rt.untrapped()[0].procedure, "LIST1_CHANGE");
  EXPECT_TRUE(rt.ended());
  EXPECT_EQ(rt.exit_status(), 1);
  EXPECT_THROW(rt.WAITEVENT(0), ProgramEnded);
  EXPECT_FALSE(rt.click("BUTTON53"));  // nothing runs after the end
}

TEST_F(HeadlessRuntimeTest, WaitEventRunsQueuedActionsThenEnds) {
  rt.queue_action([this] { rt.click("BUTTON53"); });
  EXPECT_THROW(rt.WAITEVENT(0), ProgramEnded);
  EXPECT_EQ(log, std::vector<std::string>{"BUTTON53_ON"});
  EXPECT_EQ(rt.exit_status(), 0);
}

}  // namespace
}  // namespace vimbrel
