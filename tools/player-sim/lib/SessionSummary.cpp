#include "SessionSummary.h"

#include <cstdarg>
#include <cstdio>

#include "Utf8Text.h"

namespace player_sim {
namespace {

void Line(std::string& out, const char* label, const char* format, ...) {
  char value[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(value, sizeof(value), format, arguments);
  va_end(arguments);
  char line[600];
  std::snprintf(line, sizeof(line), "  %-15s %s\n", label, value);
  out += line;
}

}  // namespace

std::string FormatSummary(const SessionReport& report, const SessionOptions& options,
                          const std::wstring& hostName) {
  std::string out = "player-sim summary\n";
  Line(out, "player", "%s", Utf8(hostName).c_str());
  Line(out, "visualization", "%s %s, capabilities 0x%lX", Utf8(report.effectName).c_str(),
       Utf8(report.effectClassId).c_str(), static_cast<unsigned long>(report.capabilities));
  Line(out, "played", "%.1f s of %zu item(s) in %.1f s", report.playedSeconds, report.itemsStarted,
       report.wallSeconds);
  Line(out, "render calls", "%llu (%.1f per second, asked %d), %llu of them full screen",
       static_cast<unsigned long long>(report.renderCalls),
       report.wallSeconds > 0 ? report.renderCalls / report.wallSeconds : 0.0, options.fps,
       static_cast<unsigned long long>(report.fullScreenRenderCalls));
  Line(out, "engine frames", "%llu pacing messages reached the pane",
       static_cast<unsigned long long>(report.pacingMessages));
  if (report.requestedPeriodMs >= 0) {
    const double requested = report.RequestedFps();
    const double achieved = report.AchievedFps();
    Line(out, "engine rate", "%.1f fps achieved; asked %lld ms + 6 ms = %.1f fps; %.1f %% of it", achieved,
         static_cast<long long>(report.requestedPeriodMs), requested,
         requested > 0 ? 100.0 * achieved / requested : 0.0);
  }
  if (report.probeSeen) {
    Line(out, "engine 'GetS'", "%llu sample requests; %llu frames drawn",
         static_cast<unsigned long long>(report.engineSampleRequests),
         static_cast<unsigned long long>(report.engineFramesDrawn));
    if (report.engineInsets) {
      Line(out, "engine 'Nset'", "%d %d %d %d (left top right bottom)", report.engineInsets->left,
           report.engineInsets->top, report.engineInsets->right, report.engineInsets->bottom);
    }
    Line(out, "engine shows", "%s%s",
         (report.engineState & sample_engine::kProbeStateTrack) ? "track text" : "no track",
         (report.engineState & sample_engine::kProbeStateArt) ? ", album art" : "");
  }
  Line(out, "full screen", "%d trip(s)", report.fullScreenTrips);
  if (!options.outDir.empty()) {
    Line(out, "screenshots", "%zu PNG file(s) in %s", report.screenshots.size(),
         Utf8(options.outDir).c_str());
  }
  for (const std::string& error : report.screenshotErrors) Line(out, "screenshot", "%s", error.c_str());
  if (report.sinksLeftAdvised > 0) {
    Line(out, "warning", "%zu event sink(s) still advised after SetCore(NULL)", report.sinksLeftAdvised);
  }
  if (report.ShowsNothing()) {
    const std::string why = !report.problem.empty()
                                ? report.problem
                                : "no engine frames reached the pane (is the engine installed "
                                  "under Program Files\\Brightcurrent\\Lumatide?)";
    Line(out, "result", "the visualization shows nothing: %s", why.c_str());
  } else {
    Line(out, "result", "the visualization drew %llu frames",
         static_cast<unsigned long long>(report.pacingMessages));
  }
  return out;
}

}  // namespace player_sim
