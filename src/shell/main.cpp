// The program's entry: the application, the main window (its creation restores the book),
// the search dialog (hidden), then the message loop. The forms are destroyed after the loop;
// the main window's destruction writes where the book was left and removes the book's files.
#include <stdlib.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/win32/state_files_win32.h"
#include "shell/application.h"
#include "shell/main_form.h"
#include "shell/main_form_design.h"
#include "shell/search_form.h"
#include "shell/win32_book_environment.h"
#include "text/utf.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  brisomel::TApplication app(instance, brisomel::kMainFormCaption);
  auto env = brisomel::MakeWin32BookEnvironment();
  int code = 0;
  {
    // Only the first argument is used: the file to show instead of the start page; --fresh
    // anywhere starts at the start page whatever was remembered.
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
    brisomel::TForm1 form1(app, *env, std::move(args));
    form1.UseReadingStates(std::make_unique<brisomel::TReadingStates>(
        brisomel::MakeWin32StateFiles(), brisomel::Win32StateFolder(),
        brisomel::Utf8ToUtf16(brisomel::MakePlatformFiles()->ExecutablePath())));
    if (!form1.Create()) return 1;
    brisomel::TForm2 form2(app, &form1);
    form2.Create();
    form1.Form2 = &form2;
    ShowWindow(form1.Handle(), form1.StartShowCommand(show));
    UpdateWindow(form1.Handle());
    code = app.Run();
    form2.Destroy();
    form1.Destroy();
  }
  return code;
}
