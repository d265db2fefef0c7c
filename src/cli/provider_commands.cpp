// corvane-cli provider show|lines|encode: reading and writing provider files.

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "core/display_width.h"
#include "core/file_read.h"
#include "core/platform_files.h"
#include "core/shift_jis.h"
#include "provider/decode_file.h"
#include "provider/provider_datas.h"
#include "provider/provider_encoder.h"

namespace corvane::cli {

namespace {

nlohmann::ordered_json optionalText(const std::optional<std::string>& text) {
  return text ? nlohmann::ordered_json(*text) : nlohmann::ordered_json(nullptr);
}

// False, with a message on stderr, when the file cannot be opened as a
// provider file.
bool canOpen(const std::string& path) {
  DecodeFile reader;
  if (reader.OpenFile(path)) return true;
  std::cerr << "corvane-cli: cannot open provider file " << escapeControls(path, false) << "\n";
  return false;
}

nlohmann::ordered_json recordJson(const ProviderDatas& p) {
  return {
      {"title", optionalText(p.title)},
      {"routerip", optionalText(p.routerip)},
      {"dns", optionalText(p.dns)},
      {"dns2", optionalText(p.dns2)},
      {"tcp", optionalText(p.tcp)},
      {"tcpipv6", optionalText(p.tcpipv6)},
      {"iever", optionalText(p.iever)},
      {"p_server", p.p_server},
      {"p_http", p.p_http},
      {"p_secure", p.p_secure},
      {"p_ftp", p.p_ftp},
      {"p_gopher", p.p_gopher},
      {"p_socks", p.p_socks},
      {"no_proxy", p.no_proxy},
      {"testurl", optionalText(p.testurl)},
      {"p_enable", p.p_enable},
  };
}

int showProvider(const std::string& path) {
  if (!canOpen(path)) return 1;
  const nlohmann::ordered_json record = recordJson(ProviderDatas::loadFile(path));
  // Garbage descrambles into lines too; a file that sets nothing is not one.
  if (record == recordJson(ProviderDatas{})) {
    std::cerr << "corvane-cli: " << escapeControls(path, false) << " holds no provider settings\n";
    return 1;
  }
  printJson(record);
  return 0;
}

int showLines(const std::string& path) {
  DecodeFile reader;
  if (!reader.OpenFile(path)) {
    std::cerr << "corvane-cli: cannot open provider file " << escapeControls(path, false) << "\n";
    return 1;
  }
  std::string text;
  bool anyEntry = false;
  while (const char* line = reader.GetDecodedLine()) {
    // A line of the file, shown as text: nothing in it reaches the terminal as a control.
    text += escapeControls(shiftJisToUtf8Lossy(line), false) + "\n";
    anyEntry = anyEntry || getKeyAndValue(line).size() == 2;
  }
  reader.CloseFile();
  if (!anyEntry) {
    std::cerr << "corvane-cli: " << escapeControls(path, false) << " holds no provider settings\n";
    return 1;
  }
  std::cout << text;
  return 0;
}

int encode(const std::string& in, const std::string& out, int format) {
  const std::optional<std::string> text = readWholeFile(in);
  if (!text) {
    std::cerr << "corvane-cli: cannot read " << escapeControls(in, false) << "\n";
    return 1;
  }
  EncodedProviderFile file = encodeProviderFile(*text, format);
  if (!file.ok) {
    std::cerr << "corvane-cli: " << escapeControls(in + ": " + file.error, false) << "\n";
    return 1;
  }
  // Write beside the target, then rename over it: no half-written file.
  if (!writeHostFileAtomically(out, file.bytes)) {
    std::cerr << "corvane-cli: cannot write " << escapeControls(out, false) << "\n";
    return 1;
  }
  return 0;
}

struct ProviderOptions {
  std::string showPath, linesPath, inPath, outPath;
  int format = 2;
};

}  // namespace

void addProviderCommands(CLI::App& app, int& exitStatus) {
  CLI::App* provider = app.add_subcommand("provider", "Read and write provider files");
  provider->require_subcommand(1);
  auto options = std::make_shared<ProviderOptions>();

  CLI::App* show = provider->add_subcommand("show", "The provider settings of a provider file, as JSON");
  show->add_option("FILE", options->showPath, "Provider file")->required();
  show->callback([options, &exitStatus] { exitStatus = showProvider(options->showPath); });

  CLI::App* lines = provider->add_subcommand("lines", "The descrambled lines of a provider file");
  lines->add_option("FILE", options->linesPath, "Provider file")->required();
  lines->callback([options, &exitStatus] { exitStatus = showLines(options->linesPath); });

  CLI::App* enc = provider->add_subcommand("encode", "Make a provider file from plain UTF-8 settings");
  enc->add_option("--format", options->format, "Scrambling format")->check(CLI::IsMember({1, 2}));
  enc->add_option("IN", options->inPath, "Plain settings, one key=value per line")->required();
  enc->add_option("OUT", options->outPath, "Provider file to write")->required();
  enc->callback([options, &exitStatus] { exitStatus = encode(options->inPath, options->outPath, options->format); });
}

}  // namespace corvane::cli
