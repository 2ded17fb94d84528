// A value of the recipe document together with its path ("colour.matrix"),
// so that every complaint about it names the field it concerns.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace orvex::develop {

class JsonField {
public:
    JsonField(const nlohmann::json& value, std::string path);

    const std::string& path() const { return path_; }
    const nlohmann::json& value() const { return value_; }

    // Throws RecipeError "path: message".
    [[noreturn]] void fail(const std::string& message) const;

    // Members of an object; the field must be an object.
    std::optional<JsonField> member(const char* name) const;
    JsonField required(const char* name) const;
    void allow_only(std::initializer_list<const char*> names) const;

    double number() const;
    double number_at_least(double minimum, bool inclusive) const;
    float float_number() const;
    int32_t integer(int64_t minimum, int64_t maximum) const;
    bool boolean() const;
    std::string text() const;

    std::vector<JsonField> elements() const;
    std::vector<double> numbers() const;
    std::vector<float> floats() const;
    std::vector<double> numbers(size_t count) const;
    std::vector<float> floats(size_t count) const;
    std::vector<float> floats_at_least(size_t count) const;

private:
    [[noreturn]] void wrong_type(const char* expected) const;

    const nlohmann::json& value_;
    std::string path_;
};

}  // namespace orvex::develop
