#include <gtk/gtk.h>

#include <cstdlib>
#include <memory>

#include "engine/key_file_settings.h"
#include "shell/home_page.h"
#include "shell/widgets/main_window.h"

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  pq::engine::KeyFileSettings settings;
  const std::string home = pq::HomePageURL(std::getenv("PAGEQUILL_HOME"), settings, PQ_DATA_DIR);

  auto window = std::make_unique<pq::MainWindow>(home);
  window->Closed = [] { gtk_main_quit(); };
  window->Show();
  gtk_main();
  window.reset();
  return 0;
}
