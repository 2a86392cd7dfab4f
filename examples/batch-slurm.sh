#!/bin/bash
# Converts every output named in outputs.list to XYZ as a Slurm job array of four tasks: each
# task takes every fourth file from its own index on, two conversions at a time.
#   ls runs/*.out > outputs.list && sbatch batch-slurm.sh
#SBATCH --job-name=kru-batch
#SBATCH --array=1-4
#SBATCH --cpus-per-task=2
#SBATCH --time=00:30:00
set -euo pipefail
kru convert --to XYZ --files-from outputs.list -d xyz \
    --shard "${SLURM_ARRAY_TASK_ID}/${SLURM_ARRAY_TASK_COUNT:-4}" -j "${SLURM_CPUS_PER_TASK:-2}"
