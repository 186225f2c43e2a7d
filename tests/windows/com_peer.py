#!/usr/bin/env python3
"""The other end of a COM port under Wine: a pseudo-terminal linked as
$WINEPREFIX/dosdevices/com<n>, then a command (the Windows test) run while it answers.

What the Windows side writes is answered on the line:
  "?"   the line settings the pseudo-terminal has now ("9600 8 E 2\n": baud, data bits,
        parity N/O/E, stop bits)
  "!"   the other end goes away: the terminal is closed, and after 2 s a new one is linked
        at the same name (the scanner comes back)
  other bytes are sent back as they came.
Exit status: the command's."""
import os
import select
import subprocess
import sys
import tempfile
import termios
import threading
import time
import tty

BAUDS = {getattr(termios, "B" + str(b)): b for b in
         (300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200) if hasattr(termios, "B" + str(b))}
SIZES = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}


def describe(fd):
    iflag, oflag, cflag, lflag, ispeed, ospeed, cc = termios.tcgetattr(fd)
    parity = "N"
    if cflag & termios.PARENB:
        parity = "O" if cflag & termios.PARODD else "E"
    stop = 2 if cflag & termios.CSTOPB else 1
    return "%d %d %s %d\n" % (BAUDS.get(ospeed, 0), SIZES[cflag & termios.CSIZE], parity, stop)


class Peer:
    def __init__(self, link):
        self.link = link
        self.master = -1
        self.slave = -1
        self.stopping = False
        self.open()

    def open(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        tmp = self.link + ".new"
        if os.path.lexists(tmp):
            os.unlink(tmp)
        os.symlink(os.ttyname(self.slave), tmp)
        os.replace(tmp, self.link)

    def close(self):
        os.close(self.master)
        os.close(self.slave)
        self.master = self.slave = -1

    def run(self):
        while not self.stopping:
            ready, _, _ = select.select([self.master], [], [], 0.1)
            if not ready:
                continue
            try:
                data = os.read(self.master, 4096)
            except OSError:
                continue
            for byte in data:
                if byte == ord("?"):
                    os.write(self.master, describe(self.slave).encode())
                elif byte == ord("!"):
                    self.close()
                    time.sleep(2)
                    self.open()
                    break
                else:
                    os.write(self.master, bytes([byte]))


def main():
    if len(sys.argv) < 4 or sys.argv[2] != "--":
        print(__doc__, file=sys.stderr)
        return 2
    peer = Peer(sys.argv[1])
    thread = threading.Thread(target=peer.run, daemon=True)
    thread.start()
    # The command's output goes through a file: a Wine service it starts (the serial
    # driver's) keeps an inherited pipe open for ever, and whoever reads it would wait.
    with tempfile.TemporaryFile() as output:
        status = subprocess.call(sys.argv[3:], stdout=output, stderr=subprocess.STDOUT)
        output.seek(0)
        sys.stdout.buffer.write(output.read())
        sys.stdout.flush()
    peer.stopping = True
    thread.join(1)
    if os.path.lexists(peer.link):
        os.unlink(peer.link)
    return status


if __name__ == "__main__":
    sys.exit(main())
