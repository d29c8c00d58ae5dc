-- Runs run(n) of one workload file several times; prints the median in milliseconds
-- and the answer: "<ms> <answer>". Start-up and loading are not timed.
local path, n, reps = arg[1], tonumber(arg[2]), tonumber(arg[3])
dofile(path)
local times, answer = {}, nil
for r = 1, reps do
  local t0 = os.clock()
  answer = run(n)
  times[r] = (os.clock() - t0) * 1000
end
table.sort(times)
local median = times[(reps + 1) // 2]
if reps % 2 == 0 then median = (times[reps // 2] + times[reps // 2 + 1]) / 2 end
print(string.format("%.3f %s", median, string.format(math.type(answer) == "float" and "%.17g" or "%d", answer)))
