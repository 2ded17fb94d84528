#include "output_naming.h"

#include <filesystem>
#include <map>

namespace orvex::develop {

namespace {

FileKind kind_of_name(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".png") return FileKind::png;
    if (extension == ".tif" || extension == ".tiff") return FileKind::tiff;
    throw UsageError(path + ": the output name must end in .png, .tif or .tiff");
}

}  // namespace

OutputChoice choose_output(const std::optional<std::string>& format,
                           const std::optional<std::string>& output_file) {
    OutputChoice choice;
    if (!format) {
        if (output_file && kind_of_name(*output_file) == FileKind::tiff)
            choice = {FileKind::tiff, SampleFormat::uint16};
        return choice;
    }
    static const std::map<std::string, OutputChoice> formats = {
        {"png8", {FileKind::png, SampleFormat::uint8}},
        {"png16", {FileKind::png, SampleFormat::uint16}},
        {"tiff16", {FileKind::tiff, SampleFormat::uint16}},
        {"tiff-float", {FileKind::tiff, SampleFormat::float32}},
    };
    const auto found = formats.find(*format);
    if (found == formats.end())
        throw UsageError("--format: expected png8, png16, tiff16 or tiff-float, got \"" + *format + "\"");
    choice = found->second;
    if (output_file && kind_of_name(*output_file) != choice.kind)
        throw UsageError(*output_file + ": the name does not match --format " + *format);
    return choice;
}

std::vector<DevelopJob> plan_jobs(const std::vector<std::string>& inputs,
                                  const std::optional<std::string>& output_file,
                                  const std::optional<std::string>& out_dir, OutputChoice output) {
    if (inputs.empty()) throw UsageError("no input file given");
    if (output_file.has_value() == out_dir.has_value()) throw UsageError("give either -o OUTPUT or --out-dir DIR");
    if (output_file) {
        if (inputs.size() != 1) throw UsageError("-o takes one input; use --out-dir DIR for several");
        return {{inputs[0], *output_file}};
    }
    const char* extension = output.kind == FileKind::png ? ".png" : ".tif";
    std::vector<DevelopJob> jobs;
    std::map<std::string, std::string> claimed;
    for (const std::string& input : inputs) {
        const std::string target =
            (std::filesystem::path(*out_dir) / std::filesystem::path(input).stem()).string() + extension;
        const auto [place, fresh] = claimed.emplace(target, input);
        if (!fresh) throw UsageError(input + " and " + place->second + " would both be written to " + target);
        jobs.push_back({input, target});
    }
    return jobs;
}

}  // namespace orvex::develop
