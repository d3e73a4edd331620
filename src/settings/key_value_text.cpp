#include "settings/key_value_text.h"

#include "text/utf.h"

namespace brisomel {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool IsKey(std::string_view key) {
  if (key.empty()) return false;
  for (char c : key) {
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-')) return false;
  }
  return true;
}

}  // namespace

std::vector<KeyValue> ReadKeyValues(std::string_view text) {
  std::vector<KeyValue> pairs;
  if (text.size() > kMaxSettingsText) return pairs;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = Trim(line);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    size_t equals = line.find('=');
    if (line.size() > kMaxSettingsLine || equals == std::string_view::npos) continue;
    std::string_view key = Trim(line.substr(0, equals));
    if (!IsKey(key)) continue;
    pairs.push_back({std::string(key), std::string(Trim(line.substr(equals + 1)))});
  }
  return pairs;
}

const std::string* FindValue(const std::vector<KeyValue>& pairs, std::string_view key) {
  for (auto pair = pairs.rbegin(); pair != pairs.rend(); ++pair) {
    if (pair->key == key) return &pair->value;
  }
  return nullptr;
}

std::string WriteKeyValues(std::string_view comment, const std::vector<KeyValue>& pairs) {
  std::string text = "# ";
  text += comment;
  text += '\n';
  for (const KeyValue& pair : pairs) {
    text += pair.key;
    text += '=';
    text += pair.value;
    text += '\n';
  }
  return text;
}

bool IsUtf8(std::string_view text) {
  // Every invalid sequence becomes U+FFFD, which no longer reads as the bytes it came from.
  return Utf16ToUtf8(Utf8ToUtf16(text)) == text;
}

bool ParseInteger(std::string_view text, long long low, long long high, long long* value) {
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 18) return false;  // 18 digits cannot overflow
  long long magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + (c - '0');
  }
  long long result = negative ? -magnitude : magnitude;
  if (result < low || result > high) return false;
  *value = result;
  return true;
}

}  // namespace brisomel
