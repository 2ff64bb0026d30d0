import signal
import sys

from .cli import main

# A reader that stops early (calcium columns ... | head) ends the command quietly.
signal.signal(signal.SIGPIPE, signal.SIG_DFL)
sys.exit(main())
