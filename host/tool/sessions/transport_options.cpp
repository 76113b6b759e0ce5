#include "host/tool/sessions/transport_options.h"

#include "host/tool/command_line/number_text.h"

void TransportOptions::declare(OptionSet& set) {
    set.value("--tempo", "BPM", "the transport's tempo (default 120, or a MIDI file's)",
              [this](const std::string& text, std::string& error) {
                  if (!parseDecimal(text, tempo) || tempo < 1.0 || tempo > 1000.0) {
                      error = "--tempo needs beats per minute from 1 to 1000, not '" + text + "'";
                      return false;
                  }
                  tempoGiven = true;
                  return true;
              });
    set.value("--time-signature", "N/D", "the transport's metre (default 4/4, or a MIDI file's)",
              [this](const std::string& text, std::string& error) {
                  const size_t slash = text.find('/');
                  int64_t top = 0, bottom = 0;
                  if (slash == std::string::npos || !parseWholeNumber(text.substr(0, slash), top) ||
                      !parseWholeNumber(text.substr(slash + 1), bottom) || top < 1 || top > 64 ||
                      bottom < 1 || bottom > 64 || (bottom & (bottom - 1)) != 0) {
                      error = "--time-signature needs N/D such as 3/4 or 7/8, D a power of two up "
                              "to 64, not '" + text + "'";
                      return false;
                  }
                  numerator = static_cast<int32_t>(top);
                  denominator = static_cast<int32_t>(bottom);
                  metreGiven = true;
                  return true;
              });
}

Transport TransportOptions::transport(const Transport* song) const {
    if (song && !tempoGiven && !metreGiven) return *song;
    return Transport(tempo, numerator, denominator);
}
