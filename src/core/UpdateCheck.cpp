#include "core/UpdateCheck.h"

#include "core/Base64.h"
#include "core/TextCodec.h"
#include "core/TextUtil.h"

#include <nlohmann/json.hpp>

#include <vector>

namespace core {
namespace {

using nlohmann::json;

constexpr std::string_view DefaultQuestion = "发现新版本，确定要更新吗？";

// SAX reader that keeps only the root object's `Version` and `Info` members. Everything
// else is checked for syntax and dropped, so a huge body costs no memory. Nesting is
// limited because writing a member back as JSON text recurses.
class TVersionReader : public nlohmann::json_sax<json> {
public:
    static constexpr size_t MaxDepth = 512;

    std::optional<json> Version;
    std::optional<json> Info;
    std::string Error;

    bool null() override { return Value(nullptr); }
    bool boolean(bool val) override { return Value(val); }
    bool number_integer(number_integer_t val) override { return Value(val); }
    bool number_unsigned(number_unsigned_t val) override { return Value(val); }
    bool number_float(number_float_t val, const string_t&) override { return Value(val); }
    bool string(string_t& val) override { return Value(std::move(val)); }
    bool binary(binary_t& val) override { return Value(json::binary(std::move(val))); }

    bool start_object(std::size_t) override { return Start(json::object()); }
    bool start_array(std::size_t) override { return Start(json::array()); }
    bool end_object() override { return End(); }
    bool end_array() override { return End(); }

    bool key(string_t& val) override
    {
        if (depth_ == 1) {
            member_ = val == "Version" ? &Version : val == "Info" ? &Info : nullptr;
            if (member_)
                member_->emplace(); // present from now on, last occurrence wins
        } else {
            key_ = std::move(val);
        }
        return true;
    }

    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& ex) override
    {
        Error = ex.what();
        return false;
    }

private:
    bool Fail(std::string message)
    {
        Error = std::move(message);
        return false;
    }

    // Where a new value goes: into the innermost kept container, or the member itself.
    json* Slot()
    {
        if (open_.empty())
            return &**member_;
        json& parent = *open_.back();
        if (parent.is_array()) {
            parent.push_back(nullptr);
            return &parent.back();
        }
        return &parent[key_];
    }

    bool Value(json value)
    {
        if (depth_ == 0)
            return Fail("version file is not a JSON object");
        if (member_)
            *Slot() = std::move(value);
        if (open_.empty())
            member_ = nullptr; // a scalar member value is complete
        return true;
    }

    bool Start(json container)
    {
        if (depth_ == 0 && !container.is_object())
            return Fail("version file is not a JSON object");
        if (depth_ >= MaxDepth)
            return Fail("version file nests too deeply");
        ++depth_;
        if (depth_ > 1 && member_) {
            json* slot = Slot();
            *slot = std::move(container);
            open_.push_back(slot);
        }
        return true;
    }

    bool End()
    {
        --depth_;
        if (!open_.empty()) {
            open_.pop_back();
            if (open_.empty())
                member_ = nullptr;
        }
        return true;
    }

    size_t depth_ = 0;
    std::optional<json>* member_ = nullptr; // the kept member being read, if any
    std::vector<json*> open_;               // its containers still open, outermost first
    std::string key_;
};

std::string MemberText(const std::optional<json>& member)
{
    if (!member)
        return {};
    const std::string text = member->is_string()
                                 ? member->get<std::string>()
                                 : member->dump(-1, ' ', false, json::error_handler_t::replace);
    return std::string(Trim(text));
}

void AppendJsonString(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '/':
            out += "\\/";
            break;
        case '\0':
            out += "\\u0000";
            break;
        default:
            out += c;
        }
    }
    out += '"';
}

} // namespace

std::string DecodeVersionBody(std::string_view body,
                              const std::function<std::string(std::string_view)>& legacyToUtf8)
{
    if (IsValidUtf8(body) || !legacyToUtf8)
        return std::string(body);
    return legacyToUtf8(body);
}

std::optional<TVersionInfo> ParseVersionFile(std::string_view text, std::string* error)
{
    TVersionReader reader;
    const bool ok = json::sax_parse(text.data(), text.data() + text.size(), &reader,
                                    nlohmann::json::input_format_t::json, /*strict=*/false,
                                    /*ignore_comments=*/true);
    if (!ok) {
        if (error)
            *error = reader.Error;
        return std::nullopt;
    }
    return TVersionInfo{MemberText(reader.Version), MemberText(reader.Info)};
}

bool IsNewVersion(const TVersionInfo& info, std::string_view ownVersion)
{
    return info.Version != ownVersion;
}

std::string UpdateQuestion(const TVersionInfo& info)
{
    return std::string(info.Info.empty() ? DefaultQuestion : std::string_view(info.Info));
}

std::string SerializeUpdateRequest(std::string_view exeName)
{
    std::string out = "{";
    AppendJsonString(out, "FileName");
    out += ':';
    AppendJsonString(out, "update.rar");
    out += ',';
    AppendJsonString(out, "ExeName");
    out += ':';
    AppendJsonString(out, exeName);
    out += '}';
    return out;
}

std::string UpdateRequestArgument(std::string_view exeName)
{
    // A Windows build converts the JSON text to the ANSI code page first; here the
    // updater gets UTF-8.
    return ReplaceAll(Base64Encode(SerializeUpdateRequest(exeName)), "\r\n", "");
}

} // namespace core
