// Resource numbers of the remote controls' pictures, at 1x, 1.5x and 2x: the
// test dialog and the key-map editor show the same artwork through
// CRemotePicture. Read by the resource compiler as well: #defines only.
#pragma once

#define IDB_REMOTE_ZELMAR_OVI 145
#define IDB_REMOTE_VEKO 146
#define IDB_REMOTE_VEKO_150 147
#define IDB_REMOTE_VEKO_200 148
#define IDB_REMOTE_ZELMAR_OVI_150 149
#define IDB_REMOTE_ZELMAR_OVI_200 150
