#!/usr/bin/env python3
# terminal.py OUT COMMAND [ARGS...]: runs COMMAND as a shell in a terminal window runs a
# command: the foreground process group of a new pseudo-terminal, which is its controlling
# terminal. What the terminal shows (standard output and error both) goes to OUT, without
# the terminal's carriage returns. SIGUSR1 types the terminal's interrupt character, as
# Ctrl-C on the keyboard. Exits with COMMAND's exit code once COMMAND has ended.
import os
import pty
import select
import signal
import sys
import termios

out, command = sys.argv[1], sys.argv[2:]
pid, master = pty.fork()
if pid == 0:
    # Started in the background, this process ignores SIGINT; a shell gives its
    # foreground job the default.
    signal.signal(signal.SIGINT, signal.SIG_DFL)
    os.execvp(command[0], command)


def type_interrupt(*_):
    os.write(master, termios.tcgetattr(master)[6][termios.VINTR])


signal.signal(signal.SIGUSR1, type_interrupt)
status = None
with open(out, "wb", buffering=0) as log:
    while True:
        ready = select.select([master], [], [], 0.1)[0]
        data = b""
        if ready:
            try:
                data = os.read(master, 65536)
            except OSError:  # EIO: no one holds the terminal open any more
                pass
            log.write(data.replace(b"\r", b""))
        if status is None:
            # Programs the command left running may hold the terminal open: its own end
            # is what counts.
            done, wstatus = os.waitpid(pid, 0 if ready and not data else os.WNOHANG)
            if done:
                status = wstatus
        if status is not None and not data:
            break
sys.exit(os.waitstatus_to_exitcode(status))
