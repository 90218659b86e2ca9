#include "download/download_start.h"

#include "download/file_naming.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "service/quality.h"
#include "service/text_codecs.h"

namespace zarvex {
namespace {

std::string cell_of(const ListRow& row, std::size_t column) {
  return column < row.cells.size() ? row.cells[column] : std::string();
}

}  // namespace

StartResult start_song_download(DownloadManager& manager, SongService& service, int quality,
                                const ListRow& song_row) {
  static const std::string no_address = gbk_from_utf8("哎呀，好像获取不到下载地址了~~");
  static const std::string cannot_download =
      gbk_from_utf8("当前选择歌曲无法下载，可能是QQ音乐服务器认证问题");
  static const std::string empty_name = gbk_from_utf8("歌曲文件名为空，请在设置中检查歌曲命名规则");
  static const std::string exists = gbk_from_utf8("当前任务已经存在");
  Ui& ui = manager.ui();
  StartResult result;

  const std::string guid = make_timestamp(false);
  const std::string address = service.resolve_media_address(
      quality, cell_of(song_row, song_column_mid), guid, cell_of(song_row, song_column_media_mid));
  const QualityInfo* info = quality_info(quality);
  const std::string extension = info != nullptr ? std::string(info->file_extension) : "";
  if (address.empty()) {
    ui.message(no_address);
    return result;
  }
  if (service.probe_content_length(address) == -1) {
    ui.message(cannot_download, {}, MessageIcon::information);
    result.outcome = StartOutcome::cannot_download;
    return result;
  }

  const Settings settings = manager.settings().snapshot();
  // A name longer than the file system takes is shortened, keeping the extension.
  result.base_name = fit_base_name(
      build_base_name(settings.nametype, settings.customname, cell_of(song_row, song_column_title),
                      cell_of(song_row, song_column_singer), cell_of(song_row, song_column_album)),
      extension);
  if (result.base_name.empty()) {
    // Only the extension would be left: a hidden file that every other song would collide with.
    ui.message(empty_name, {}, MessageIcon::warning);
    result.outcome = StartOutcome::empty_name;
    return result;
  }
  const std::string file_name = result.base_name + extension;
  result.path = join_folder(settings.setdir, file_name);
  const std::string lyric_path = join_folder(settings.setdir, result.base_name + ".lrc");

  // Fetched before the admission so that the lyric file lies beside the song before the song
  // can be listed as finished; the request stays outside the admission lock.
  std::string lyrics;
  if (settings.downlrc) lyrics = service.fetch_lyrics(cell_of(song_row, song_column_id));

  std::lock_guard lock(manager.admission_mutex());
  if (manager.task_exists(settings.setdir, file_name)) {
    ui.message(exists, {}, MessageIcon::information);
    result.outcome = StartOutcome::exists;
    return result;
  }
  if (settings.downlrc) write_file(lyric_path, lyrics);
  const bool start_now = manager.count_running_tasks() < settings.downnum;
  result.task = manager.admit_task(address, result.path, result.base_name, start_now);
  result.outcome = result.task == -1 ? StartOutcome::admit_failed : StartOutcome::admitted;
  return result;
}

}  // namespace zarvex
