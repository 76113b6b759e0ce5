#include "host/tool/command_line/common_options.h"

#include "host/tool/audio_files/audio_format.h"

void declareRate(OptionSet& set, double& rate, const char* help) {
    set.decimal("--rate", "HZ", help, rate, {1000.0, 768000.0, "a sample rate", " Hz", false});
}

void declareSeconds(OptionSet& set, const char* help, double most, double& seconds, bool* automatic) {
    const NumberRange range{0.0, most, "seconds", "", true};
    set.value("--seconds", automatic ? "S | auto" : "S", help,
              [range, automatic, &seconds](const std::string& text, std::string& error) {
                  if (automatic && text == "auto") {
                      *automatic = true;
                      return true;
                  }
                  if (!withinRange(text, range, seconds)) {
                      error = rangeMessage("--seconds", range, text) + (automatic ? " or 'auto'" : "");
                      return false;
                  }
                  if (automatic) *automatic = false;
                  return true;
              });
}

void declareJson(OptionSet& set, bool& json, const char* help) { set.flag("--json", help, json); }

void declareKeepLatency(OptionSet& set, bool& keep, const char* what) {
    set.flag("--no-latency-compensation",
             (std::string("keep the delays the plug-ins report in ") + what).c_str(), keep);
}

void declareFormat(OptionSet& set, std::string& format, const char* help) {
    set.value("--format", "TYPE[:ENC]", help, [&format](const std::string& text, std::string& error) {
        int code = 0;
        if (text.empty()) {
            error = "--format needs TYPE[:ENC], such as flac or wav:pcm16";
            return false;
        }
        if (!chooseOutputFormat("", text, code, error)) return false;
        format = text;
        return true;
    });
}
