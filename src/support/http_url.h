// Web addresses: splitting, resolving relative references, request targets.
// Percent escapes are kept as written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvid {

/// The five parts of a URI reference; the flags tell an empty part from a missing one.
struct UrlReference {
  std::string scheme;  // as written; empty when there is none
  bool hasAuthority = false;
  std::string authority;
  std::string path;
  bool hasQuery = false;
  std::string query;
  bool hasFragment = false;
  std::string fragment;
};

/// Splits `text` into its parts (never fails; a leading word followed by ":"
/// counts as a scheme only when it is a valid scheme name).
UrlReference SplitUrlReference(std::string_view text);

/// Joins the parts back into a URL text.
std::string JoinUrlReference(const UrlReference& reference);

/// Removes "." and ".." segments from a path as relative references require.
std::string RemoveDotSegments(std::string_view path);

/// Resolves `reference` against the absolute URL `base`; a reference with a
/// scheme is returned as it is (dot segments removed).
std::string ResolveUrlReference(std::string_view base, std::string_view reference);

/// A URL as the fetch uses it.
struct ParsedUrl {
  std::string scheme;  // as written
  std::string user;
  std::string password;
  std::string host;       // as written, brackets of an IPv6 literal included
  int32_t port = 0;       // 0 when the URL gives none
  bool portValid = true;  // false when the port text is not a number from 1 to 65535
  std::string path;
  std::string query;
  std::string fragment;
};

/// Parses `url`; never fails (a URL without "//" has an empty host).
ParsedUrl ParseUrl(std::string_view url);

/// The request target: the path ("/" when empty, a "/" put in front when
/// missing), then "?" and the query when the query is not empty; never the
/// fragment. Control characters and spaces are sent as %XX escapes.
std::string RequestTarget(const ParsedUrl& url);

/// The host as the resolver wants it (IPv6 brackets removed).
std::string ConnectHost(const ParsedUrl& url);

}  // namespace quorvid
