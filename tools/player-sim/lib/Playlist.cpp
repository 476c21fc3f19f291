#include "Playlist.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>

#include "AudioFileLoader.h"
#include "TuneSynth.h"
#include "Utf8Text.h"

namespace player_sim {
namespace {

std::wstring FullPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
  return length > 0 && length < std::size(buffer) ? std::wstring(buffer, length) : path;
}

std::wstring FileTitle(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of(L'.');
  return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

std::wstring MimeTypeOf(const std::wstring& path) {
  std::wstring lowered = path;
  for (wchar_t& c : lowered) c = static_cast<wchar_t>(std::towlower(c));
  return lowered.size() >= 4 && lowered.compare(lowered.size() - 4, 4, L".png") == 0 ? L"image/png"
                                                                                     : L"image/jpeg";
}

// A stable collection id per album, in the player's braced GUID form.
std::wstring CollectionIdFor(const std::wstring& album, const std::wstring& artist) {
  uint64_t hash = 1469598103934665603ULL;
  for (wchar_t c : album + L"\n" + artist) hash = (hash ^ static_cast<uint64_t>(c)) * 1099511628211ULL;
  const uint64_t second = hash * 0x9E3779B97F4A7C15ULL;
  wchar_t text[48];
  swprintf(text, 48, L"{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(hash >> 32),
           static_cast<unsigned>((hash >> 16) & 0xFFFF), static_cast<unsigned>(hash & 0xFFFF),
           static_cast<unsigned>(second >> 48), static_cast<unsigned long long>(second & 0xFFFFFFFFFFFFULL));
  return text;
}

MediaDescription Describe(const PlaylistItem& item, const SessionOptions& options,
                          const std::wstring& tuneCover) {
  const AudioTags& tags = item.clip.tags;
  auto pick = [](const std::wstring& flag, const std::string& tag) {
    return flag.empty() ? WidenUtf8(tag) : flag;
  };
  const std::wstring title = pick(options.title, tags.title);
  const std::wstring artist = pick(options.artist, tags.artist);
  const std::wstring album = pick(options.album, tags.album);
  const std::wstring year = pick(options.year, tags.year);

  MediaDescription description;
  description.sourceUrl = item.path.empty() ? L"synthesised:Tidal Lights" : FullPath(item.path);
  description.name = !title.empty() ? title : (item.path.empty() ? L"Tune" : FileTitle(item.path));
  description.durationSeconds = item.clip.DurationSeconds();
  auto add = [&description](const wchar_t* name, const std::wstring& value) {
    if (!value.empty()) description.attributes.emplace_back(name, value);
  };
  add(L"Title", title.empty() ? description.name : title);
  add(L"Author", artist);
  add(L"WM/AlbumArtist", WidenUtf8(tags.albumArtist));
  add(L"WM/AlbumTitle", album);
  add(L"WM/Year", year);
  add(L"WM/Genre", WidenUtf8(tags.genre));
  add(L"WM/WMCollectionID", CollectionIdFor(album, artist));
  add(L"MediaType", L"audio");
  const std::wstring picture = !options.picture.empty() ? FullPath(options.picture) : tuneCover;
  if (!picture.empty() && (item.path.empty() || !options.picture.empty())) {
    description.pictureUrl = picture;
    description.pictureMimeType = MimeTypeOf(picture);
  }
  return description;
}

}  // namespace

PlaylistResult BuildPlaylist(const SessionOptions& options, const std::wstring& tuneCover) {
  PlaylistResult result;
  if (!options.picture.empty()) {
    const DWORD attributes = GetFileAttributesW(options.picture.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      result.failedFile = options.picture;
      result.error = "picture file not found";
      return result;
    }
  }
  if (options.files.empty()) {
    PlaylistItem item;
    item.clip = SynthesizeTune();
    result.items.push_back(std::move(item));
  }
  for (const std::wstring& file : options.files) {
    AudioDecodeResult decoded = LoadAudioFile(file);
    if (!decoded.clip) {
      result.items.clear();
      result.failedFile = file;
      result.error = decoded.error;
      return result;
    }
    PlaylistItem item;
    item.path = file;
    item.clip = std::move(*decoded.clip);
    result.items.push_back(std::move(item));
  }
  for (PlaylistItem& item : result.items) item.media = SimMedia::Create(Describe(item, options, tuneCover));
  return result;
}

}  // namespace player_sim
