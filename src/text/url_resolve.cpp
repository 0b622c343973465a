#include "text/url_resolve.h"

namespace pagelift {

namespace {

bool IsAlpha(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The five parts of a URL reference; each part's presence matters, not only its text.
struct Parts {
  std::u16string_view scheme, authority, path, query, fragment;
  bool has_scheme = false, has_authority = false, has_query = false, has_fragment = false;
};

std::size_t SchemeEnd(std::u16string_view url) {
  if (url.empty() || !IsAlpha(url[0])) return std::u16string_view::npos;
  for (std::size_t k = 1; k < url.size(); ++k) {
    const char16_t c = url[k];
    if (c == u':') return k;
    if (!(IsAlpha(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.')) break;
  }
  return std::u16string_view::npos;
}

Parts Split(std::u16string_view url) {
  Parts p;
  if (const std::size_t colon = SchemeEnd(url); colon != std::u16string_view::npos) {
    p.scheme = url.substr(0, colon);
    p.has_scheme = true;
    url.remove_prefix(colon + 1);
  }
  if (const std::size_t hash = url.find(u'#'); hash != std::u16string_view::npos) {
    p.fragment = url.substr(hash + 1);
    p.has_fragment = true;
    url = url.substr(0, hash);
  }
  if (const std::size_t question = url.find(u'?'); question != std::u16string_view::npos) {
    p.query = url.substr(question + 1);
    p.has_query = true;
    url = url.substr(0, question);
  }
  if (url.starts_with(u"//")) {
    const std::size_t slash = url.find(u'/', 2);
    p.authority = url.substr(2, slash == std::u16string_view::npos ? url.size() - 2 : slash - 2);
    p.has_authority = true;
    url = slash == std::u16string_view::npos ? std::u16string_view() : url.substr(slash);
  }
  p.path = url;
  return p;
}

// RFC 3986 5.2.4, in one pass over the segments.
std::u16string RemoveDotSegments(std::u16string_view path) {
  std::u16string out;
  while (!path.empty()) {
    if (path.starts_with(u"../")) {
      path.remove_prefix(3);
    } else if (path.starts_with(u"./")) {
      path.remove_prefix(2);
    } else if (path.starts_with(u"/./")) {
      path.remove_prefix(2);
    } else if (path == u"/.") {
      path = u"/";
    } else if (path.starts_with(u"/../") || path == u"/..") {
      path = path.size() == 3 ? std::u16string_view(u"/") : path.substr(3);
      const std::size_t last = out.rfind(u'/');
      out.resize(last == std::u16string::npos ? 0 : last);
    } else if (path == u"." || path == u"..") {
      path = {};
    } else {
      const std::size_t next = path.find(u'/', 1);
      const std::size_t end = next == std::u16string_view::npos ? path.size() : next;
      out += path.substr(0, end);
      path.remove_prefix(end);
    }
  }
  return out;
}

std::u16string Cleaned(std::u16string_view url) {
  while (!url.empty() && url.front() <= u' ') url.remove_prefix(1);
  while (!url.empty() && url.back() <= u' ') url.remove_suffix(1);
  std::u16string out;
  out.reserve(url.size());
  for (const char16_t c : url) {
    if (c != u'\t' && c != u'\n' && c != u'\r') out.push_back(c);
  }
  return out;
}

}  // namespace

std::u16string SchemeOf(std::u16string_view url) {
  const std::size_t colon = SchemeEnd(url);
  if (colon == std::u16string_view::npos) return {};
  std::u16string scheme(url.substr(0, colon));
  for (char16_t& c : scheme) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
  }
  return scheme;
}

std::u16string ResolveUrl(std::u16string_view base_text, std::u16string_view reference_text) {
  const std::u16string reference = Cleaned(reference_text);
  const std::u16string base_url = Cleaned(base_text);
  const Parts r = Split(reference);
  const Parts base = Split(base_url);
  if (r.has_scheme || !base.has_scheme) return reference;
  Parts t;
  std::u16string path;
  t.scheme = base.scheme;
  if (r.has_authority) {
    t.authority = r.authority;
    t.has_authority = true;
    path = RemoveDotSegments(r.path);
    t.query = r.query;
    t.has_query = r.has_query;
  } else {
    t.authority = base.authority;
    t.has_authority = base.has_authority;
    if (r.path.empty()) {
      path = base.path;
      t.query = r.has_query ? r.query : base.query;
      t.has_query = r.has_query || base.has_query;
    } else {
      if (r.path.starts_with(u'/')) {
        path = RemoveDotSegments(r.path);
      } else {
        // Merge: the base's path up to its last "/", or "/" for an empty path with authority.
        std::u16string merged;
        if (base.has_authority && base.path.empty()) {
          merged = u"/";
        } else {
          const std::size_t last = base.path.rfind(u'/');
          if (last != std::u16string_view::npos) merged = base.path.substr(0, last + 1);
        }
        merged += r.path;
        path = RemoveDotSegments(merged);
      }
      t.query = r.query;
      t.has_query = r.has_query;
    }
  }
  std::u16string out(t.scheme);
  out += u':';
  if (t.has_authority) {
    out += u"//";
    out += t.authority;
  }
  out += path;
  if (t.has_query) {
    out += u'?';
    out += t.query;
  }
  if (r.has_fragment) {
    out += u'#';
    out += r.fragment;
  }
  return out;
}

}  // namespace pagelift
