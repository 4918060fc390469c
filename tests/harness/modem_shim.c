/*
 * Preloaded into wine processes by the test harness (LD_PRELOAD).
 *
 * The virtual COM ports of the harness are ptys, and Linux ptys reject the
 * modem-line ioctls. Wine sets DTR and RTS through them and polls the modem
 * status while a WaitCommEvent is pending, so on a bare pty EscapeCommFunction
 * fails and comm waits end early. This shim answers those four ioctls itself for
 * ptys, keeping the line state per pty, and records what a program set (modem
 * lines and termios) in $RC_LINESTATE_DIR/pts-N so tests can assert it.
 *
 * Record format, one line: "dtr=1 rts=0 baud=9600 bits=8 parity=none stop=1 pid=N"
 * (pid: the process that set them).
 *
 * The two ends of a pair are wired as a null-modem cable: each end reads the
 * other's DTR as its DSR and DCD, and the other's RTS as its CTS. The harness
 * names each pty's partner with a peer-pts-N -> pts-M link; the partner's
 * lines come from its record, and count as dropped once the process that set
 * them has ended.
 *
 * A test can also make a port unconfigurable, as a faulty device would be:
 * while $RC_LINESTATE_DIR/fail-COMn exists, tcsetattr on that port's pty
 * (found through the harness's lines-COMn -> pts-N link) fails with EIO.
 * While $RC_LINESTATE_DIR/nolines-COMn exists, setting that port's modem lines
 * fails as on a bare pty (a driver without DTR/RTS control).
 *
 * A port whose set-up hangs, as a Bluetooth port's open does while it
 * connects: while $RC_LINESTATE_DIR/hang-COMn exists, the first modem-line
 * ioctl of each process on that port's pty sleeps for the seconds the file
 * holds (20 when it holds none). Wine opens files in its server, out of reach;
 * this ioctl runs in the thread of the program that sets the port up.
 *
 * One read failing as a driver's fault does: $RC_LINESTATE_DIR/readfail-COMn
 * makes the next read of that port's pty fail with EINVAL (which Wine reports
 * as ERROR_INVALID_PARAMETER); the read that fails removes the file.
 *
 * A receiver that vanishes: when its pty pair ends, Linux reports end of file
 * on the orphaned pty, which Wine takes for silence, where a Windows driver
 * fails the read. A zero-byte read on a hung-up pty therefore becomes EIO, and
 * EIO from the modem ioctls is passed through instead of answered.
 * Everything else passes straight through to libc.
 */
#define _GNU_SOURCE
#include <dirent.h>
#include <stdatomic.h>
#include <time.h>
#include <signal.h>
#include <dlfcn.h>
#include <errno.h>
#include <poll.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#define MAX_PTYS 64

struct pty_lines {
    int pts;  /* N of /dev/pts/N, -1 for a free slot */
    int bits; /* TIOCM_DTR | TIOCM_RTS as last set */
    int seen; /* a modem ioctl of this process reached it */
};

static struct pty_lines g_ptys[MAX_PTYS];
static int g_used;
static pthread_mutex_t g_lock = PTHREAD_MUTEX_INITIALIZER;

typedef int (*ioctl_fn)(int, unsigned long, ...);
typedef int (*tcsetattr_fn)(int, int, const struct termios*);
typedef ssize_t (*read_fn)(int, void*, size_t);

/* The pty number behind fd, or -1 when fd is no pty slave. Wine hands the same
 * device around under changing descriptors, so the state is keyed by device. */
static int pts_number(int fd) {
    char link[64], target[256];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return -1;
    target[n] = '\0';
    if (strncmp(target, "/dev/pts/", 9) != 0)
        return -1;
    char* end;
    long pts = strtol(target + 9, &end, 10);
    return (*end == '\0' && pts >= 0 && pts < 1000000) ? (int)pts : -1;
}

/* Caller holds g_lock. */
static struct pty_lines* lines_for(int pts) {
    for (int i = 0; i < g_used; ++i)
        if (g_ptys[i].pts == pts)
            return &g_ptys[i];
    if (g_used == MAX_PTYS)
        return NULL;
    g_ptys[g_used].pts = pts;
    g_ptys[g_used].bits = 0;
    g_ptys[g_used].seen = 0;
    return &g_ptys[g_used++];
}

static int baud_of(speed_t speed) {
    static const struct {
        speed_t code;
        int baud;
    } table[] = {{B1200, 1200},     {B2400, 2400},     {B4800, 4800},   {B9600, 9600},
                 {B19200, 19200},   {B38400, 38400},   {B57600, 57600}, {B115200, 115200},
                 {B230400, 230400}, {B460800, 460800}, {B0, 0}};
    for (size_t i = 0; i < sizeof table / sizeof table[0]; ++i)
        if (table[i].code == speed)
            return table[i].baud;
    return -1;
}

/* Writes the record for the pty behind fd. Caller holds g_lock. */
static void record(int fd, int pts, int bits) {
    const char* dir = getenv("RC_LINESTATE_DIR");
    if (dir == NULL || *dir == '\0')
        return;
    struct termios t;
    int baud = -1, data = -1, stop = -1;
    const char* parity = "?";
    if (tcgetattr(fd, &t) == 0) {
        baud = baud_of(cfgetospeed(&t));
        switch (t.c_cflag & CSIZE) {
        case CS5:
            data = 5;
            break;
        case CS6:
            data = 6;
            break;
        case CS7:
            data = 7;
            break;
        default:
            data = 8;
            break;
        }
        parity = !(t.c_cflag & PARENB) ? "none" : (t.c_cflag & PARODD) ? "odd" : "even";
        stop = (t.c_cflag & CSTOPB) ? 2 : 1;
    }
    char path[4096], temp[4096];
    snprintf(path, sizeof path, "%s/pts-%d", dir, pts);
    snprintf(temp, sizeof temp, "%s/.pts-%d.%d", dir, pts, (int)getpid());
    FILE* f = fopen(temp, "w");
    if (f == NULL)
        return;
    fprintf(f, "dtr=%d rts=%d baud=%d bits=%d parity=%s stop=%d pid=%d\n",
            (bits & TIOCM_DTR) ? 1 : 0, (bits & TIOCM_RTS) ? 1 : 0, baud, data, parity, stop,
            (int)getpid());
    fclose(f);
    rename(temp, path); /* readers never see half a record */
}

/* The modem inputs that the partner of pty pts drives through the cable:
 * TIOCM_DSR | TIOCM_CD for its DTR, TIOCM_CTS for its RTS; 0 when the pty has
 * no partner or the partner's lines are not set by a live process. */
static int lines_from_peer(int pts) {
    const char* dir = getenv("RC_LINESTATE_DIR");
    if (dir == NULL || *dir == '\0')
        return 0;
    char link[4096], target[64], path[4096];
    snprintf(link, sizeof link, "%s/peer-pts-%d", dir, pts);
    ssize_t n = readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return 0;
    target[n] = '\0';
    if (strchr(target, '/') != NULL)
        return 0;
    snprintf(path, sizeof path, "%s/%s", dir, target);
    FILE* f = fopen(path, "r");
    if (f == NULL)
        return 0;
    char line[256];
    int dtr = 0, rts = 0, pid = 0;
    if (fgets(line, sizeof line, f) != NULL) {
        const char* field = strstr(line, "pid=");
        if (sscanf(line, "dtr=%d rts=%d", &dtr, &rts) != 2 || field == NULL ||
            sscanf(field, "pid=%d", &pid) != 1)
            dtr = rts = 0;
    }
    fclose(f);
    /* A port's lines drop when its process ends, as its driver closes it. */
    if (pid <= 0 || (kill(pid, 0) != 0 && errno != EPERM))
        return 0;
    return (dtr ? TIOCM_DSR | TIOCM_CD : 0) | (rts ? TIOCM_CTS : 0);
}

static int emulate_modem(int fd, int pts, unsigned long request, int* arg) {
    if (arg == NULL) {
        errno = EFAULT;
        return -1;
    }
    pthread_mutex_lock(&g_lock);
    struct pty_lines* lines = lines_for(pts);
    if (lines == NULL) {
        pthread_mutex_unlock(&g_lock);
        errno = ENOMEM;
        return -1;
    }
    const int settable = TIOCM_DTR | TIOCM_RTS;
    switch (request) {
    case TIOCMGET:
        *arg = lines->bits | lines_from_peer(pts);
        break;
    case TIOCMSET:
        lines->bits = *arg & settable;
        break;
    case TIOCMBIS:
        lines->bits |= *arg & settable;
        break;
    case TIOCMBIC:
        lines->bits &= ~(*arg & settable);
        break;
    }
    if (request != TIOCMGET)
        record(fd, pts, lines->bits);
    pthread_mutex_unlock(&g_lock);
    return 0;
}

static int modem_failure_passes(int error, int pts, unsigned long request);
static int port_flag_path(const char* prefix, int pts, char* path, size_t size);

/* The first modem ioctl of this process on a port flagged hang-COMn sleeps. */
static void hang_if_flagged(int fd) {
    int pts = pts_number(fd);
    if (pts < 0)
        return;
    pthread_mutex_lock(&g_lock);
    struct pty_lines* lines = lines_for(pts);
    int first = lines != NULL && !lines->seen;
    if (lines != NULL)
        lines->seen = 1;
    pthread_mutex_unlock(&g_lock);
    char path[4096];
    if (!first || !port_flag_path("hang-", pts, path, sizeof path))
        return;
    int seconds = 0;
    FILE* f = fopen(path, "r");
    if (f != NULL) {
        if (fscanf(f, "%d", &seconds) != 1)
            seconds = 0;
        fclose(f);
    }
    if (seconds <= 0 || seconds > 600)
        seconds = 20;
    sleep((unsigned)seconds);
}

int ioctl(int fd, unsigned long request, ...) {
    static ioctl_fn real_ioctl;
    if (real_ioctl == NULL)
        real_ioctl = (ioctl_fn)dlsym(RTLD_NEXT, "ioctl");
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);

    if (request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC)
        hang_if_flagged(fd);
    int result = real_ioctl(fd, request, arg);
    if (result == 0 ||
        (request != TIOCMGET && request != TIOCMSET && request != TIOCMBIS && request != TIOCMBIC))
        return result;
    int saved = errno;
    int pts = pts_number(fd);
    if (pts < 0 || modem_failure_passes(saved, pts, request)) {
        errno = saved;
        return result;
    }
    return emulate_modem(fd, pts, request, (int*)arg);
}

/* Whether a <prefix>COMn flag names the port behind pty pts; its path then
 * goes to path. */
static int port_flag_path(const char* prefix, int pts, char* path, size_t size) {
    const char* dir = getenv("RC_LINESTATE_DIR");
    if (dir == NULL || *dir == '\0' || pts < 0)
        return 0;
    DIR* entries = opendir(dir);
    if (entries == NULL)
        return 0;
    char want[32];
    snprintf(want, sizeof want, "pts-%d", pts);
    int found = 0;
    struct dirent* entry;
    const size_t prefix_length = strlen(prefix);
    while (!found && (entry = readdir(entries)) != NULL) {
        if (strncmp(entry->d_name, prefix, prefix_length) != 0)
            continue;
        char link[4096], target[64];
        snprintf(link, sizeof link, "%s/lines-%s", dir, entry->d_name + prefix_length);
        ssize_t n = readlink(link, target, sizeof target - 1);
        if (n > 0) {
            target[n] = '\0';
            found = strcmp(target, want) == 0;
            if (found)
                snprintf(path, size, "%s/%s", dir, entry->d_name);
        }
    }
    closedir(entries);
    return found;
}

static int port_flagged(const char* prefix, int pts) {
    char path[4096];
    return port_flag_path(prefix, pts, path, sizeof path);
}

static int configuration_blocked(int pts) {
    return port_flagged("fail-", pts);
}

/* Whether the modem ioctl's own failure is the answer: the pty hung up (EIO),
 * or a test flagged the port as one whose lines cannot be set. */
static int modem_failure_passes(int error, int pts, unsigned long request) {
    if (error == EIO)
        return 1;
    return request != TIOCMGET && port_flagged("nolines-", pts);
}

/* Whether this read is the one to fail. The flag folder is looked at every
 * 50 ms at most: Wine reads its server pipes through here too. */
static int read_fails(int fd) {
    static atomic_llong next_look_ns;
    static atomic_int armed;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    long long now_ns = (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
    if (now_ns >= atomic_load(&next_look_ns)) {
        atomic_store(&next_look_ns, now_ns + 50000000LL);
        const char* dir = getenv("RC_LINESTATE_DIR");
        int any = 0;
        DIR* entries = dir != NULL && *dir != '\0' ? opendir(dir) : NULL;
        if (entries != NULL) {
            struct dirent* entry;
            while (!any && (entry = readdir(entries)) != NULL)
                any = strncmp(entry->d_name, "readfail-", 9) == 0;
            closedir(entries);
        }
        atomic_store(&armed, any);
    }
    if (!atomic_load(&armed))
        return 0;
    char path[4096];
    /* Removing the flag decides which read fails, should two race. */
    return port_flag_path("readfail-", pts_number(fd), path, sizeof path) && unlink(path) == 0;
}

/* A hung-up pty reads as end of file; a serial driver fails the read. */
ssize_t read(int fd, void* buffer, size_t count) {
    static read_fn real_read;
    if (real_read == NULL)
        real_read = (read_fn)dlsym(RTLD_NEXT, "read");
    if (read_fails(fd)) {
        errno = EINVAL;
        return -1;
    }
    ssize_t result = real_read(fd, buffer, count);
    if (result != 0 || count == 0)
        return result;
    int saved = errno;
    struct pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, 0) == 1 && (p.revents & POLLHUP) && pts_number(fd) >= 0) {
        errno = EIO;
        return -1;
    }
    errno = saved;
    return result;
}

int tcsetattr(int fd, int actions, const struct termios* t) {
    static tcsetattr_fn real_tcsetattr;
    if (real_tcsetattr == NULL)
        real_tcsetattr = (tcsetattr_fn)dlsym(RTLD_NEXT, "tcsetattr");
    if (configuration_blocked(pts_number(fd))) {
        errno = EIO;
        return -1;
    }
    int result = real_tcsetattr(fd, actions, t);
    if (result != 0)
        return result;
    int saved = errno;
    int pts = pts_number(fd);
    if (pts >= 0) {
        pthread_mutex_lock(&g_lock);
        struct pty_lines* lines = lines_for(pts);
        if (lines != NULL)
            record(fd, pts, lines->bits);
        pthread_mutex_unlock(&g_lock);
    }
    errno = saved;
    return result;
}
