# Runs run(n) of one workload file several times; prints the median in milliseconds
# and the answer: "<ms> <answer>". Start-up and loading are not timed.
import sys, time, statistics, runpy
path, n, reps = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
run = runpy.run_path(path)["run"]
sys.setrecursionlimit(10000)
times, answer = [], None
for _ in range(reps):
    t0 = time.process_time()
    answer = run(n)
    times.append((time.process_time() - t0) * 1000)
print("%.3f %r" % (statistics.median(times), answer))
