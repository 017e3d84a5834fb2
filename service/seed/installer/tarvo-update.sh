#!/bin/sh
# Demo installer announced by the demo seed. A real deployment publishes the
# package that installs the new browser; this one only says that it ran.
echo "TarvoBrowser demo installer: nothing to install"
exit 0
