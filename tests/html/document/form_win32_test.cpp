// A form page on real Win32 controls (Windows build, under Wine): the controls stand where the
// layout put them, read back with the Win32 API; clicks and keys sent to them change their
// state and reach the form; a submission gives the expected pairs.
//
// With BRISOMEL_FORM_SCREENSHOT naming a .bmp file (run under a real X display), the page is
// shown in a window and a screenshot of it is written there.
#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "html/document/document_builder.h"
#include "html/document/form_controls.h"
#include "html/document/section_list.h"
#include "platform/win32/canvas_gdi.h"
#include "platform/win32/controls_win32.h"

namespace brisomel {
namespace {

const char kPage[] =
    "<BODY BGCOLOR=\"#E0E8F0\"><H3>Order</H3>"
    "<FORM ACTION=order.cgi METHOD=post TARGET=t ENCTYPE=text/plain>"
    "Name: <INPUT NAME=name VALUE=Ann SIZE=12> <INPUT TYPE=password NAME=pw VALUE=pw SIZE=6><BR>"
    "<INPUT TYPE=checkbox NAME=news CHECKED> News <INPUT TYPE=checkbox NAME=ads> Ads<BR>"
    "<INPUT TYPE=radio NAME=size VALUE=s> S <INPUT TYPE=radio NAME=SIZE VALUE=m CHECKED> M<BR>"
    "<SELECT NAME=colour><OPTION>Red<OPTION SELECTED VALUE=g>Green<OPTION>Blue</SELECT> "
    "<SELECT NAME=extras MULTIPLE><OPTION SELECTED>Wrap<OPTION>Card<OPTION>Express</SELECT><BR>"
    "<TEXTAREA NAME=notes ROWS=3 COLS=20>one\ntwo</TEXTAREA><INPUT TYPE=hidden NAME=id VALUE=7><BR>"
    "<INPUT TYPE=submit NAME=go VALUE=Send> <INPUT TYPE=reset></FORM>"
    "<FORM ACTION=search.cgi><INPUT NAME=q VALUE=find></FORM>";

TSectionList* g_painted = nullptr;  // the document the test window paints

LRESULT CALLBACK PageProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_ERASEBKGND) return 1;
  if (message == WM_PAINT && g_painted) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    GdiCanvas canvas(dc);
    const Rect all{0, 0, client.right, client.bottom};
    canvas.FillRect(all, g_painted->Background);
    g_painted->Paint(canvas, all, client.right, 0, 0);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND MakeWindow() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &PageProcedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "BrisomelFormPage";
  RegisterClassExA(&wc);
  return CreateWindowExA(0, "BrisomelFormPage", "Form", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                         640, 420, nullptr, nullptr, wc.hInstance, nullptr);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

Rect WindowRectIn(HWND window, HWND parent) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return Rect{r.left, r.top, r.right, r.bottom};
}

// The controls' positions in the layout dump: "control <class> x= y= w= h=" lines.
struct Placed {
  std::string class_name;
  Rect rect;
};
std::vector<Placed> DumpedControls(const std::string& dump) {
  std::vector<Placed> out;
  size_t at = 0;
  while ((at = dump.find("control ", at)) != std::string::npos) {
    char name[64] = {};
    int x, y, w, h;
    if (std::sscanf(dump.c_str() + at, "control %63s x=%d y=%d w=%d h=%d", name, &x, &y, &w, &h) ==
        5)
      out.push_back(Placed{name, Rect{x, y, x + w, y + h}});
    at += 8;
  }
  return out;
}

void WriteBmp(const Bitmap& b, const std::string& path) {
  const int row = (b.width * 3 + 3) & ~3;
  std::vector<uint8_t> file(54 + static_cast<size_t>(row) * b.height);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(b.width));
  put32(22, static_cast<uint32_t>(b.height));
  file[26] = 1;
  file[28] = 24;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      const uint32_t p = b.pixels[static_cast<size_t>(y) * b.width + x];
      uint8_t* d = &file[54 + static_cast<size_t>(b.height - 1 - y) * row + x * 3];
      d[0] = p & 0xFF, d[1] = (p >> 8) & 0xFF, d[2] = (p >> 16) & 0xFF;
    }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

struct Submitted {
  std::string action;
  std::vector<std::string> pairs;
};

class Win32Form : public testing::Test {
 protected:
  void SetUp() override {
    window = MakeWindow();
    ASSERT_NE(window, nullptr);
    controls = std::make_unique<Win32Controls>(window);
    screen = GdiCanvas::CreateDib(1, 1);
    TDocumentServices services;
    services.Screen = screen.get();
    services.WindowControls = controls.get();
    list = std::make_unique<TSectionList>(services);
    list->SetFonts("Times New Roman", "Courier New", 12, 0, 0xFF0000, 0xC0C0C0);
    list->FormSubmitHandler = [this](void*, const std::string& action,
                                     const std::vector<std::string>& pairs, const std::string&,
                                     const std::string&, const std::string&) {
      submitted.push_back(Submitted{action, pairs});
    };
    TDocumentParser parser(*list);
    parser.Parser.ParseHtmlBuffer(kPage, sizeof kPage - 1);
    list->DoLayout(*screen, 600);
    g_painted = list.get();
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    Pump();
  }
  void TearDown() override {
    g_painted = nullptr;
    list.reset();
    controls.reset();
    DestroyWindow(window);
  }
  HWND Input(size_t i) { return Win32Controls::InputWindow(*list->FormControls.at(i)->TheControl); }
  std::string Pairs(size_t form = 0) {
    std::string out;
    for (const std::string& p : list->Forms.at(form)->Pairs(nullptr)) out += p + ",";
    return out;
  }

  HWND window = nullptr;
  std::unique_ptr<Win32Controls> controls;
  std::unique_ptr<GdiCanvas> screen;
  std::unique_ptr<TSectionList> list;
  std::vector<Submitted> submitted;
};

TEST_F(Win32Form, RealControlsStandWhereTheLayoutPutThem) {
  const std::vector<Placed> placed = DumpedControls(DumpLayout(*list));
  // Every control but the hidden field has a window.
  std::vector<TFormControlObj*> shown;
  for (TFormControlObj* c : list->FormControls)
    if (c->TheControl) shown.push_back(c);
  ASSERT_EQ(placed.size(), shown.size());
  const char* const kClasses[] = {"Edit",
                                  "Edit",
                                  "Button",
                                  "Button",
                                  "BrisomelRadioPanel",
                                  "BrisomelRadioPanel",
                                  "ComboBox",
                                  "ListBox",
                                  "Edit",
                                  "Button",
                                  "Button",
                                  "Edit"};
  ASSERT_EQ(shown.size(), std::size(kClasses));
  for (size_t i = 0; i < shown.size(); ++i) {
    SCOPED_TRACE(placed[i].class_name);
    HWND outer = Win32Controls::OuterWindow(*shown[i]->TheControl);
    EXPECT_EQ(ClassOf(outer), kClasses[i]);
    EXPECT_TRUE(IsWindowVisible(outer));
    EXPECT_EQ(WindowRectIn(outer, window), placed[i].rect);
  }
  // The radio buttons' panels take the page colour.
  EXPECT_EQ(ClassOf(Input(4)), "Button");
  EXPECT_TRUE((GetWindowLongA(Input(1), GWL_STYLE) & ES_PASSWORD) != 0);
  EXPECT_TRUE((GetWindowLongA(Input(8), GWL_STYLE) & ES_MULTILINE) != 0);
  EXPECT_TRUE((GetWindowLongA(Input(7), GWL_STYLE) & LBS_EXTENDEDSEL) != 0);
}

TEST_F(Win32Form, InitialStateSubmits) {
  EXPECT_EQ(Pairs(),
            "name=Ann,pw=pw,news=On,SIZE=m,colour=g,extras=Wrap,notes=one,notes=two,id=7,");
  SendMessageA(Input(10), BM_CLICK, 0, 0);
  Pump();
  ASSERT_EQ(submitted.size(), 1u);
  EXPECT_EQ(submitted[0].action, "order.cgi");
  std::string pairs;
  for (const std::string& p : submitted[0].pairs) pairs += p + ",";
  EXPECT_EQ(pairs,
            "name=Ann,pw=pw,news=On,SIZE=m,colour=g,extras=Wrap,notes=one,notes=two,id=7,go=Send,");
}

TEST_F(Win32Form, ClicksAndKeysChangeTheControls) {
  HWND name = Input(0);
  SendMessageA(name, EM_SETSEL, 3, 3);
  for (char c : std::string("ie")) SendMessageA(name, WM_CHAR, static_cast<WPARAM>(c), 0);
  SendMessageA(Input(2), BM_CLICK, 0, 0);  // news off
  SendMessageA(Input(3), BM_CLICK, 0, 0);  // ads on
  SendMessageA(Input(4), BM_CLICK, 0, 0);  // size s: the other radio of the group goes off
  SendMessageA(Input(6), CB_SETCURSEL, 2, 0);
  SendMessageA(Input(7), LB_SETSEL, TRUE, 2);
  SendMessageA(Input(8), EM_SETSEL, 0, 0);
  for (char c : std::string("zero\r")) SendMessageA(Input(8), WM_CHAR, static_cast<WPARAM>(c), 0);
  Pump();
  EXPECT_EQ(Pairs(),
            "name=Annie,pw=pw,ads=On,size=s,colour=Blue,extras=Wrap,extras=Express,notes=zero,"
            "notes=one,notes=two,id=7,");
  // Enter in a form of several fields submits nothing; the reset button restores it all.
  SendMessageA(name, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(submitted.empty());
  SendMessageA(Input(11), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(Pairs(),
            "name=Ann,pw=pw,news=On,SIZE=m,colour=g,extras=Wrap,notes=one,notes=two,id=7,");
}

TEST_F(Win32Form, EnterInTheOnlyFieldSubmits) {
  HWND q = Input(12);
  SendMessageA(q, EM_SETSEL, 0, -1);
  for (char c : std::string("more")) SendMessageA(q, WM_CHAR, static_cast<WPARAM>(c), 0);
  SendMessageA(q, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_EQ(submitted.size(), 1u);
  EXPECT_EQ(submitted[0].action, "search.cgi");
  ASSERT_EQ(submitted[0].pairs.size(), 1u);
  EXPECT_EQ(submitted[0].pairs[0], "q=more");
}

TEST_F(Win32Form, FocusMovesUndrawnControlsAwayAndScrolledOutOnesHide) {
  list->SetYOffset(150);
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
  Pump();
  // Scrolled above the window: not drawn, hidden.
  HWND name = Win32Controls::OuterWindow(*list->FormControls[0]->TheControl);
  EXPECT_FALSE(list->FormControls[0]->ShowIt);
  EXPECT_FALSE(IsWindowVisible(name));
  SetFocus(Input(12));
  EXPECT_EQ(WindowRectIn(name, window).left, -4000);
  SetFocus(window);
  EXPECT_FALSE(IsWindowVisible(name));
}

// A page of 5,000 controls and a SELECT of 100,000 options open on real controls (parse, layout
// and a first paint); the times are printed.
TEST(Win32LargeForms, OpenAndPaint) {
  std::string controls_page, select_page = "<SELECT NAME=s>";
  for (int i = 0; i < 1000; ++i)
    controls_page +=
        "<INPUT NAME=e VALUE=v><INPUT TYPE=checkbox NAME=c><INPUT TYPE=submit>"
        "<SELECT NAME=s><OPTION>a<OPTION>b</SELECT><TEXTAREA>t</TEXTAREA><BR>";
  for (int i = 0; i < 100000; ++i) select_page += "<OPTION>Option " + std::to_string(i);
  select_page += "</SELECT>";
  for (const std::string* page : {&controls_page, &select_page}) {
    HWND window = MakeWindow();
    {
      Win32Controls controls(window);
      auto screen = GdiCanvas::CreateDib(1, 1);
      TDocumentServices services;
      services.Screen = screen.get();
      services.WindowControls = &controls;
      const DWORD start = GetTickCount();
      TSectionList list(services);
      TDocumentParser parser(list);
      parser.Parser.ParseHtmlBuffer(page->data(), page->size());
      const DWORD parsed = GetTickCount();
      list.DoLayout(*screen, 600);
      const DWORD laid_out = GetTickCount();
      auto canvas = GdiCanvas::CreateDib(600, 400);
      list.Paint(*canvas, Rect{0, 0, 600, 400}, 600, 0, 0);
      const DWORD elapsed = GetTickCount() - start;
      std::printf("%zu controls opened in %lu ms (parse %lu, layout %lu)\n",
                  list.FormControls.size(), static_cast<unsigned long>(elapsed),
                  static_cast<unsigned long>(parsed - start),
                  static_cast<unsigned long>(laid_out - parsed));
      // Every control is there and the page paints; the time is printed for people to read,
      // not checked (it depends on what else the machine runs).
      EXPECT_EQ(list.FormControls.size(), page == &controls_page ? 5000u : 1u);
    }
    DestroyWindow(window);
  }
}

TEST_F(Win32Form, Screenshot) {
  const char* path = std::getenv("BRISOMEL_FORM_SCREENSHOT");
  if (!path) GTEST_SKIP() << "set BRISOMEL_FORM_SCREENSHOT to a .bmp path (needs an X display)";
  SetWindowPos(window, HWND_TOP, 0, 0, 640, 420, SWP_SHOWWINDOW);
  InvalidateRect(window, nullptr, TRUE);
  for (int i = 0; i < 20; ++i) {
    Pump();
    Sleep(50);
  }
  RECT client;
  GetClientRect(window, &client);
  auto shot = GdiCanvas::CreateDib(client.right, client.bottom);
  HDC dc = GetDC(window);
  BitBlt(shot->dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  ReleaseDC(window, dc);
  WriteBmp(shot->ReadPixels(Rect{0, 0, client.right, client.bottom}), path);
  std::printf("screenshot of the form page: %s\n", path);
}

}  // namespace
}  // namespace brisomel

#endif  // _WIN32
