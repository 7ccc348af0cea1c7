#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/key_file_settings.h"
#include "shell/command_line.h"
#include "shell/widgets/pagequill_app.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const pq::CommandLine command = pq::ParseCommandLine(args, PQ_VERSION);
  if (command.action != pq::CommandLine::Action::Run) {
    std::fputs(command.message.c_str(), command.action == pq::CommandLine::Action::Error ? stderr : stdout);
    return command.exitCode;
  }
  if (!gtk_init_check(&argc, &argv)) {
    std::fputs("pagequill: cannot open the display (is DISPLAY set?)\n", stderr);
    return 1;
  }
  // The window manager's and the task bar's picture of the program.
  gtk_window_set_default_icon_name("pagequill");
  int exitCode = 0;
  {
    pq::engine::KeyFileSettings settings;
    pq::PagequillApp app(settings, {std::getenv("PAGEQUILL_HOME"), std::getenv("PAGEQUILL_SERVICE_URL")});
    app.Ended = [&exitCode](int code) {
      exitCode = code;
      gtk_main_quit();
    };
    app.Start();
    gtk_main();
  }
  return exitCode;
}
