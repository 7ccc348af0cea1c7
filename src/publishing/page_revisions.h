#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/form_fields.h"

namespace pq {

// The earlier versions of a page that the site script keeps, and the posts that list, fetch
// and restore them. Each post is authenticated like a publication: "passkey" and "hash" first,
// then "action", "file" and, for one version, "revision".

// One earlier version as the site script lists it ("ID|time|size").
struct PageRevision {
  std::string id;
  std::string time;         // as sent, ISO 8601
  std::int64_t utcSeconds;  // the time as seconds since 1970 (UTC)
  std::uint64_t size = 0;   // bytes
};

// More than any site keeps; a reply listing more is cut here, never grown without bound.
inline constexpr std::size_t kMaxRevisionsListed = 500;
// Longest revision id accepted (the site scripts' ids are about twenty characters).
inline constexpr std::size_t kMaxRevisionIdLength = 100;

enum class RevisionsAnswer {
  Listed,     // "@@ok@@" and the versions
  Refused,    // the site script's own message (a wrong password, a file not allowed, ...)
  TooOld,     // the site script does not know the request
  Unreadable  // no site script answer at all (an error page, nothing, a reply cut short)
};

struct RevisionsReply {
  RevisionsAnswer answer = RevisionsAnswer::Unreadable;
  std::vector<PageRevision> revisions;  // newest first, as listed
  std::size_t unreadable = 0;           // listed entries left out because they made no sense
  std::string message;                  // Refused: the site script's words
};

// action=revisions.
FormFields RevisionsRequest(std::string_view file, int passKey, const std::string& password);
// action=restore: puts that version back; the site keeps the current one as a version.
FormFields RestoreRequest(std::string_view file, std::string_view revision, int passKey,
                          const std::string& password);
// action=fetch: the bytes of one version, for a preview.
FormFields FetchRevisionRequest(std::string_view file, std::string_view revision, int passKey,
                                const std::string& password);

RevisionsReply ParseRevisionsReply(std::string_view reply);

// The reply to a restore.
struct RestoreReply {
  RevisionsAnswer answer = RevisionsAnswer::Unreadable;  // Listed: restored
  std::string message;
};
RestoreReply ParseRestoreReply(std::string_view reply);

// The reply to a fetch: "@@ok@@" + the size + "@@" + exactly that many bytes.
struct RevisionBytesReply {
  RevisionsAnswer answer = RevisionsAnswer::Unreadable;  // Listed: the bytes came whole
  std::string bytes;
  std::string message;
};
RevisionBytesReply ParseRevisionBytesReply(std::string_view reply);

// A refusal that means the site script does not know the request: it answers an unknown action
// as unknown, and a script older than the action reads the post as a publication without its
// page ("Incomplete request").
bool MeansUnknownRequest(std::string_view message);

// "2026-12-11T04:08:53Z" (seconds, an optional fraction, and "Z" or "+hh:mm"/"-hh:mm" allowed;
// no zone read as UTC) as seconds since 1970, or nullopt when it is no such time.
std::optional<std::int64_t> ParseIsoTime(std::string_view text);

}  // namespace pq
