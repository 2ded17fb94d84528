#include "json_field.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "recipe.h"

namespace orvex::develop {

namespace {

std::string described_type(const nlohmann::json& value) {
    switch (value.type()) {
        case nlohmann::json::value_t::null:
            return "null";
        case nlohmann::json::value_t::object:
            return "an object";
        case nlohmann::json::value_t::array:
            return "an array";
        case nlohmann::json::value_t::string:
            return "a string";
        case nlohmann::json::value_t::boolean:
            return "a boolean";
        default:
            return "a number";
    }
}

std::string shown(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

}  // namespace

JsonField::JsonField(const nlohmann::json& value, std::string path) : value_(value), path_(std::move(path)) {}

void JsonField::fail(const std::string& message) const {
    throw RecipeError(path_.empty() ? message : path_ + ": " + message);
}

void JsonField::wrong_type(const char* expected) const {
    fail(std::string("expected ") + expected + ", got " + described_type(value_));
}

std::optional<JsonField> JsonField::member(const char* name) const {
    if (!value_.is_object()) wrong_type("an object");
    const auto found = value_.find(name);
    if (found == value_.end()) return std::nullopt;
    return JsonField(*found, path_.empty() ? name : path_ + "." + name);
}

JsonField JsonField::required(const char* name) const {
    auto field = member(name);
    if (!field) JsonField(value_, path_.empty() ? name : path_ + "." + name).fail("required field is missing");
    return *field;
}

void JsonField::allow_only(std::initializer_list<const char*> names) const {
    if (!value_.is_object()) wrong_type("an object");
    for (const auto& [key, item] : value_.items()) {
        const bool known = std::any_of(names.begin(), names.end(), [&](const char* name) { return key == name; });
        if (!known) JsonField(item, path_.empty() ? key : path_ + "." + key).fail("unknown field");
    }
}

double JsonField::number() const {
    if (!value_.is_number()) wrong_type("a number");
    return value_.get<double>();
}

double JsonField::number_at_least(double minimum, bool inclusive) const {
    const double value = number();
    if (inclusive ? value < minimum : value <= minimum)
        fail(std::string("must be ") + (inclusive ? "at least " : "greater than ") + shown(minimum) + ", got " +
             shown(value));
    return value;
}

float JsonField::float_number() const {
    const double value = number();
    if (!(std::fabs(value) <= std::numeric_limits<float>::max()))
        fail("must fit a 32-bit float, got " + shown(value));
    return static_cast<float>(value);
}

int32_t JsonField::integer(int64_t minimum, int64_t maximum) const {
    if (!value_.is_number_integer()) wrong_type("an integer");
    // Unsigned values beyond the signed range are out of range whatever the limits.
    const int64_t value = value_.is_number_unsigned() && value_.get<uint64_t>() > uint64_t{INT64_MAX}
                              ? INT64_MAX
                              : value_.get<int64_t>();
    if (value < minimum || value > maximum) {
        if (maximum == INT32_MAX) fail("must be at least " + std::to_string(minimum) + ", got " + value_.dump());
        fail("must be between " + std::to_string(minimum) + " and " + std::to_string(maximum) + ", got " +
             value_.dump());
    }
    return static_cast<int32_t>(value);
}

bool JsonField::boolean() const {
    if (!value_.is_boolean()) wrong_type("true or false");
    return value_.get<bool>();
}

std::string JsonField::text() const {
    if (!value_.is_string()) wrong_type("a string");
    return value_.get<std::string>();
}

std::vector<JsonField> JsonField::elements() const {
    if (!value_.is_array()) wrong_type("an array");
    std::vector<JsonField> fields;
    fields.reserve(value_.size());
    for (size_t i = 0; i < value_.size(); ++i)
        fields.emplace_back(value_[i], path_ + "[" + std::to_string(i) + "]");
    return fields;
}

std::vector<double> JsonField::numbers() const {
    if (!value_.is_array()) wrong_type("an array of numbers");
    std::vector<double> values;
    values.reserve(value_.size());
    for (const JsonField& element : elements())
        values.push_back(element.number());
    return values;
}

std::vector<float> JsonField::floats() const {
    if (!value_.is_array()) wrong_type("an array of numbers");
    std::vector<float> values;
    values.reserve(value_.size());
    for (const JsonField& element : elements())
        values.push_back(element.float_number());
    return values;
}

std::vector<double> JsonField::numbers(size_t count) const {
    std::vector<double> values = numbers();
    if (values.size() != count)
        fail("expected " + std::to_string(count) + " numbers, got " + std::to_string(values.size()));
    return values;
}

std::vector<float> JsonField::floats(size_t count) const {
    std::vector<float> values = floats();
    if (values.size() != count)
        fail("expected " + std::to_string(count) + " numbers, got " + std::to_string(values.size()));
    return values;
}

std::vector<float> JsonField::floats_at_least(size_t count) const {
    std::vector<float> values = floats();
    if (values.size() < count)
        fail("expected at least " + std::to_string(count) + " numbers, got " + std::to_string(values.size()));
    return values;
}

}  // namespace orvex::develop
