#include "compose_run.h"

#include "batch.h"

#include "ezedudu/display_path.h"
#include "ezedudu/error.h"
#include "ezedudu/nfo_file.h"
#include "ezedudu/page_writer.h"
#include "ezedudu/preview.h"
#include "ezedudu/template_files.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <new>

namespace ezedudu {
namespace {

// A template or a fields file is text a person wrote: 4 MiB is an NFO of
// 50,000 full lines. Composing holds a template a few times over.
constexpr std::int64_t MaxTextBytes = std::int64_t(4) << 20;

// Today as YYYY-MM-DD: the day of SOURCE_DATE_EPOCH in UTC where it is set,
// so that a build makes the same file every time; else the local date.
std::string Today()
{
    std::time_t now = std::time(nullptr);
    std::tm day{};
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        char* end = nullptr;
        errno = 0;
        const long long seconds = std::strtoll(epoch, &end, 10);
        now = std::time_t(seconds);
        // A date past the year 9999 has no YYYY-MM-DD form.
        if (*end != '\0' || seconds < 0 || errno == ERANGE || !gmtime_r(&now, &day) || day.tm_year > 9999 - 1900)
            throw Error(Error::Kind::Refused, "SOURCE_DATE_EPOCH must be a whole number of seconds up to the year "
                                              "9999, not '" + std::string(epoch) + "'");
    } else {
        localtime_r(&now, &day);
    }
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", &day);
    return text;
}

TemplateFields FieldsOf(const CliOptions& options, std::vector<std::filesystem::path>& inputs)
{
    TemplateFields fields{{"date", Today()}};
    if (options.fieldsFile) {
        inputs.push_back(*options.fieldsFile);
        try {
            ReadFieldsFile(*options.fieldsFile, fields);
        } catch (const Error& error) {
            throw Error(error.GetKind(), options.fieldsFile->string() + ": " + error.what());
        }
    }
    for (const auto& [name, value] : options.fieldValues)
        fields.insert_or_assign(name, value);
    return fields;
}

std::filesystem::path OutputOf(const CliOptions& options)
{
    if (options.output)
        return *options.output;
    std::filesystem::path output = *options.compose;
    return output.replace_extension(options.art.page.layout == PageLayout::Diz ? ".diz" : ".nfo");
}

void RefuseToOverwriteInputs(const std::vector<std::filesystem::path>& inputs,
                             const std::vector<std::filesystem::path>& outputs)
{
    for (const std::filesystem::path& output : outputs)
        for (const std::filesystem::path& input : inputs)
            if (output != StandardStream && IsSameFile(input, output))
                throw Error(Error::Kind::Refused, "refusing to overwrite " + input.string() +
                                                      ", which the template reads; name another output with -o");
}

void Compose(const CliOptions& options)
{
    const std::filesystem::path& templatePath = *options.compose;
    std::vector<std::filesystem::path> inputs{templatePath};
    const TemplateFields fields = FieldsOf(options, inputs);
    const std::string bytes = ReadTextFile(templatePath, MaxTextBytes);
    TemplateFiles files(templatePath.parent_path());
    const ComposeOptions layout{options.art.page.Shape(), options.art.conversion.layout.signature};
    Page page = ezedudu::Compose(bytes, fields, files, layout);
    inputs.insert(inputs.end(), files.FilesRead().begin(), files.FilesRead().end());

    const std::filesystem::path text = OutputOf(options);
    std::vector<std::filesystem::path> outputs{text};
    if (options.preview)
        outputs.push_back(*options.preview);
    RefuseToOverwriteInputs(inputs, outputs);
    const std::optional<std::string> png =
        options.preview ? std::optional(PngBytes(RenderPreview(page, options.art.conversion.cellAspect,
                                                                options.art.theme)))
                        : std::nullopt;
    const std::string written = WritePage(std::move(page), options.utf8 ? TextEncoding::Utf8 : TextEncoding::Cp437);
    OutputFiles all;
    if (text != StandardStream)
        all.Add(text, written);
    if (png && *options.preview != StandardStream)
        all.Add(*options.preview, *png);
    all.Commit();
    if (text == StandardStream)
        WriteToStandardOutput(written);
    if (png && *options.preview == StandardStream)
        WriteToStandardOutput(*png);
}

} // namespace

// Every message passes DisplayText: it quotes names and text from the
// template, which must not act on the terminal.
int ComposeNfo(const CliOptions& options)
{
    const std::string name = DisplayPath(*options.compose);
    std::string failure;
    try {
        Compose(options);
        return ExitOk;
    } catch (const TemplateError& fault) {
        std::cerr << name << ':' << fault.Line() << ':' << fault.Column() << ": " << DisplayText(fault.what())
                  << std::endl;
        return ExitSomeFailed;
    } catch (const FieldsError& fault) {
        std::cerr << DisplayPath(fault.file) << ':' << fault.line << ":1: " << fault.message << std::endl;
        return ExitSomeFailed;
    } catch (const Error& error) {
        failure = Explain(error);
    } catch (const std::bad_alloc&) {
        failure = "not enough memory for this template";
    }
    std::cerr << "ezedudu-cli: " << name << ": " << DisplayText(failure) << std::endl;
    return ExitSomeFailed;
}

} // namespace ezedudu
