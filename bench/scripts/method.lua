-- n calls of a host object's method; the answer is the total it kept.
local Counter = {}
Counter.__index = Counter
function Counter.new() return setmetatable({total = 0}, Counter) end
function Counter:clear() self.total = 0 end
function Counter:add(value) self.total = self.total + value end

local counter = Counter.new()

function run(n)
  counter:clear()
  for i = 1, n do
    counter:add(i % 10)
  end
  return counter.total
end
