#include "pageprep/fetcher.h"

namespace pq {

std::string NotEditableReason(const FetchedPage& page) {
  if (page.failed && !page.problem.empty()) return page.problem + " This page cannot be edited";
  if (page.failed)
    return "The website did not answer when Pagequill asked for this page, so it cannot be "
           "edited now";
  if (page.status == 0 || (page.status >= 200 && page.status < 300)) return "";
  if (page.status == 404 || page.status == 410)
    return "This page is not on the website (" + std::to_string(page.status) +
           (page.status == 404 ? " Not Found" : " Gone") + "), so there is nothing to edit";
  if (page.status >= 500)
    return "The website could not give this page (server error " + std::to_string(page.status) +
           "), so it cannot be edited now";
  if (page.status == 401 || page.status == 403)
    return "The website does not let Pagequill read this page (" + std::to_string(page.status) +
           "), so it cannot be edited";
  return "The website answered with an error (" + std::to_string(page.status) +
         ") instead of the page, so there is nothing to edit";
}

}  // namespace pq
