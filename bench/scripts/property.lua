-- n reads and n writes of a host object's field; the answer is its last value.
local Counter = {}
Counter.__index = Counter
function Counter.new() return setmetatable({value = 0}, Counter) end

local counter = Counter.new()

function run(n)
  counter.value = 0
  for i = 1, n do
    counter.value = counter.value + i % 10
  end
  return counter.value
end
