// The Preview and Publish commands of the toolbar and the end of a publication: entry points
// that the publishing code fills in.
#include "shell/widgets/main_form_window.h"

namespace pq {

void MainFormWindow::PreviewCommand() {}

void MainFormWindow::PublishCommand() {}

void MainFormWindow::PublishComplete() {}

}  // namespace pq
