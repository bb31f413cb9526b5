#!/usr/bin/env bash
# The demo captured on a Slurm cluster: a job array renders the parts, one task each, and a
# join job that waits for the whole array (afterok) puts them together. Submit it from a
# folder on the cluster's shared file system that holds the capture's Data and this build:
#
#   PARTS=16 OUT=emberhall-4k.mp4 docs/jobs/capture-slurm.sh --size 3840x2160 --upscale 3
#
# Each task finds its part in SLURM_ARRAY_TASK_ID, SLURM_ARRAY_TASK_MIN and
# SLURM_ARRAY_TASK_COUNT (emberhall-capture reads them when --chunk is not given); the join
# refuses parts rendered by nodes whose GL draws other pixels, so give the array nodes of
# one kind (--constraint) where a cluster mixes CPU vendors.
set -euo pipefail
parts=${PARTS:-16}
out=${OUT:-emberhall.mp4}
capture=${EMBERHALL_CAPTURE:-emberhall-capture}
mkdir -p parts

array=$(sbatch --parsable --job-name=emberhall-parts --array=1-"$parts" --cpus-per-task=2 \
  --output=parts/%a.log \
  --wrap="$(printf '%q ' "$capture" --quiet "$@") --video parts/part-\$SLURM_ARRAY_TASK_ID.mp4")
sbatch --job-name=emberhall-join --dependency=afterok:"$array" --output=join.log \
  --wrap="$(printf '%q ' "$capture" --join "$out") $(for k in $(seq "$parts"); do printf 'parts/part-%d.mp4 ' "$k"; done)"
echo "submitted: parts as job array $array, the join after it into $out"
