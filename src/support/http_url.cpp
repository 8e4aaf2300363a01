#include "support/http_url.h"

#include <cctype>

namespace quorvid {

namespace {

bool IsSchemeName(std::string_view text) {
  if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
  for (char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
      return false;
  return true;
}

// Drops the last segment of `output`, with the "/" that starts it.
void DropLastSegment(std::string& output) {
  size_t slash = output.rfind('/');
  output.erase(slash == std::string::npos ? 0 : slash);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string MergePaths(const UrlReference& base, const std::string& relative) {
  if (base.hasAuthority && base.path.empty()) return "/" + relative;
  size_t slash = base.path.rfind('/');
  if (slash == std::string::npos) return relative;
  return base.path.substr(0, slash + 1) + relative;
}

}  // namespace

UrlReference SplitUrlReference(std::string_view text) {
  UrlReference ref;
  size_t end = text.find_first_of(":/?#");
  if (end != std::string_view::npos && text[end] == ':' && IsSchemeName(text.substr(0, end))) {
    ref.scheme = std::string(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  if (StartsWith(text, "//")) {
    text.remove_prefix(2);
    size_t stop = text.find_first_of("/?#");
    if (stop == std::string_view::npos) stop = text.size();
    ref.hasAuthority = true;
    ref.authority = std::string(text.substr(0, stop));
    text.remove_prefix(stop);
  }
  size_t hash = text.find('#');
  if (hash != std::string_view::npos) {
    ref.hasFragment = true;
    ref.fragment = std::string(text.substr(hash + 1));
    text = text.substr(0, hash);
  }
  size_t question = text.find('?');
  if (question != std::string_view::npos) {
    ref.hasQuery = true;
    ref.query = std::string(text.substr(question + 1));
    text = text.substr(0, question);
  }
  ref.path = std::string(text);
  return ref;
}

std::string JoinUrlReference(const UrlReference& ref) {
  std::string url;
  if (!ref.scheme.empty()) url += ref.scheme + ":";
  if (ref.hasAuthority) url += "//" + ref.authority;
  url += ref.path;
  if (ref.hasQuery) url += "?" + ref.query;
  if (ref.hasFragment) url += "#" + ref.fragment;
  return url;
}

std::string RemoveDotSegments(std::string_view input) {
  std::string output;
  while (!input.empty()) {
    if (StartsWith(input, "../")) {
      input.remove_prefix(3);
    } else if (StartsWith(input, "./")) {
      input.remove_prefix(2);
    } else if (StartsWith(input, "/./")) {
      input.remove_prefix(2);
    } else if (input == "/.") {
      input = "/";
    } else if (StartsWith(input, "/../")) {
      input.remove_prefix(3);
      DropLastSegment(output);
    } else if (input == "/..") {
      input = "/";
      DropLastSegment(output);
    } else if (input == "." || input == "..") {
      input = {};
    } else {
      size_t next = input.find('/', input[0] == '/' ? 1 : 0);
      if (next == std::string_view::npos) next = input.size();
      output += input.substr(0, next);
      input.remove_prefix(next);
    }
  }
  return output;
}

std::string ResolveUrlReference(std::string_view baseText, std::string_view referenceText) {
  UrlReference base = SplitUrlReference(baseText);
  UrlReference ref = SplitUrlReference(referenceText);
  UrlReference target;
  if (!ref.scheme.empty()) {
    target = ref;
    target.path = RemoveDotSegments(ref.path);
    return JoinUrlReference(target);
  }
  if (ref.hasAuthority) {
    target.hasAuthority = true;
    target.authority = ref.authority;
    target.path = RemoveDotSegments(ref.path);
    target.hasQuery = ref.hasQuery;
    target.query = ref.query;
  } else {
    if (ref.path.empty()) {
      target.path = base.path;
      target.hasQuery = ref.hasQuery || base.hasQuery;
      target.query = ref.hasQuery ? ref.query : base.query;
    } else {
      target.path = RemoveDotSegments(ref.path[0] == '/' ? ref.path : MergePaths(base, ref.path));
      target.hasQuery = ref.hasQuery;
      target.query = ref.query;
    }
    target.hasAuthority = base.hasAuthority;
    target.authority = base.authority;
  }
  target.scheme = base.scheme;
  target.hasFragment = ref.hasFragment;
  target.fragment = ref.fragment;
  return JoinUrlReference(target);
}

ParsedUrl ParseUrl(std::string_view text) {
  UrlReference ref = SplitUrlReference(text);
  ParsedUrl url;
  url.scheme = ref.scheme;
  url.path = ref.path;
  url.query = ref.query;
  url.fragment = ref.fragment;

  std::string_view authority = ref.authority;
  size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    std::string_view userInfo = authority.substr(0, at);
    size_t colon = userInfo.find(':');
    url.user = std::string(userInfo.substr(0, colon));
    if (colon != std::string_view::npos) url.password = std::string(userInfo.substr(colon + 1));
    authority.remove_prefix(at + 1);
  }
  size_t portColon = std::string_view::npos;
  if (!authority.empty() && authority[0] == '[') {
    size_t close = authority.find(']');
    if (close != std::string_view::npos && close + 1 < authority.size() &&
        authority[close + 1] == ':')
      portColon = close + 1;
  } else {
    portColon = authority.rfind(':');
  }
  url.host = std::string(authority.substr(0, portColon));
  if (portColon != std::string_view::npos) {
    std::string_view portText = authority.substr(portColon + 1);
    int64_t port = 0;
    for (char c : portText) {
      if (!std::isdigit(static_cast<unsigned char>(c)) || port > 65535) {
        port = -1;
        break;
      }
      port = port * 10 + (c - '0');
    }
    if (portText.empty()) {
      url.port = 0;  // "host:" names the default port
    } else if (port < 1 || port > 65535) {
      url.portValid = false;
    } else {
      url.port = static_cast<int32_t>(port);
    }
  }
  return url;
}

std::string RequestTarget(const ParsedUrl& url) {
  std::string raw = url.path.empty() ? "/" : (url.path[0] == '/' ? url.path : "/" + url.path);
  if (!url.query.empty()) raw += "?" + url.query;
  // A space or a line break would end the request line early.
  static const char kHex[] = "0123456789ABCDEF";
  std::string target;
  for (char c : raw) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) {
      target += '%';
      target += kHex[byte >> 4];
      target += kHex[byte & 0xF];
    } else {
      target += c;
    }
  }
  return target;
}

std::string ConnectHost(const ParsedUrl& url) {
  if (url.host.size() >= 2 && url.host.front() == '[' && url.host.back() == ']')
    return url.host.substr(1, url.host.size() - 2);
  return url.host;
}

}  // namespace quorvid
