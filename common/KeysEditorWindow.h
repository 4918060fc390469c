// The key-map editor's main window, as KV480 and the editor both know it:
// while a window of this class is in front, KV480 types nothing and hands
// the remote's keys to it as it would to a receiving application.
#pragma once

namespace keys_editor {

constexpr const char* WINDOW_CLASS = "KV480KeysEditor";
// The editor's single-instance mutex: this prefix and the user's SID, in the
// session's own namespace.
constexpr const char* INSTANCE_PREFIX = "Local\\KV480keys-";

} // namespace keys_editor
