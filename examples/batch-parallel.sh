#!/bin/bash
# Converts every output named in outputs.list to XYZ in two shards run by GNU parallel, here or
# on the machines listed in nodes.txt (add --sshloginfile nodes.txt --workdir . for those).
#   ls runs/*.out > outputs.list && ./batch-parallel.sh
set -euo pipefail
parallel --will-cite kru convert --to XYZ --files-from outputs.list -d xyz --shard {}/2 ::: 1 2
